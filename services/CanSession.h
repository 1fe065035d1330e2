#pragma once

#include <atomic>

#include <QString>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "BusStatistics.h"
#include "CanCapture.h"
#include "CanFilter.h"
#include "CanFrameLog.h"
#include "CanFrameReader.h"
#include "CanMarks.h"
#include "CanPlayback.h"
#include "CanReader.h"
#include "CanRecording.h"
#include "DeviceInterface.h"
#include "SignalHunt.h"

namespace k57 {

// The unit's CAN channel as the CAN monitor and k57ctl use it: opening and
// closing it, and reading the frames that arrive into the capture (the
// table of identifiers, the captured changes, the counters), the per-bit
// statistics and the frame log. Or, without a unit, a recording played
// into the same. The capture and the log outlive the channel: they are
// shown and saved after it closed. Each capture, an opening of the channel
// or a recording played, starts afresh: no figure of the one before.
//
// Each frame gets its own time: its sender's millisecond stamp, unwrapped
// and anchored to the computer's clock; a frame without one, its arrival.
// The identifier filter decides what reaches the capture, the statistics,
// the saved log and NextFrame; the log itself keeps every frame.
class CanSession {
  public:
    // What opening the channel came to.
    struct Opening {
        int result = kNoReply;  // kReplyOk, kPortUnavailable or kNoReply
        std::string version;    // the unit's two version replies, each followed by a blank
        std::string reason;     // why the port did not open (UTF-8)
    };
    // A frame with its time (see above).
    using Frame = TimedFrame;

    CanSession() = default;
    ~CanSession();
    CanSession(const CanSession&) = delete;
    CanSession& operator=(const CanSession&) = delete;

    // From the next opening on, the channel is read on a thread of its own
    // (CanReader) as fast as lines come, and Pump takes what it read. For a
    // window, whose thread may be busy longer than an adapter can hold its
    // frames. NextFrame is for a session that reads on its own thread.
    void ReadInBackground(bool on) { background_ = on; }

    // Opens `link`'s port and the channel at the bit-rate code (CanLink's
    // kBitRates): OpenPort, then Handshake. The link must live until Close.
    Opening Open(ByteChannel& link, int bitRateCode);
    // The first half: the port alone, kReplyOk or kPortUnavailable. Once
    // it is open a new capture starts (StartCapture).
    Opening OpenPort(ByteChannel& link);
    // The second half, on the port just opened (CanLink::OpenCan): it lets
    // the line settle, half a second at most, then waits for the unit's
    // replies, up to seven times 100 ms, and may run on another thread than
    // the rest, as it touches only the channel. On failure the channel and
    // the port are closed again. On success a background reader starts.
    Opening Handshake(int bitRateCode);
    // Sends the close command and closes the port; nothing when not open.
    // A recording being played stops.
    void Close();
    bool IsOpen() const;
    // False once no more bytes can come: the port closed or hung up.
    bool Connected() const;

    // Instead of a unit: the capture in `path` (candump, Vector ASC or
    // python-can CSV, and the marks beside it), played at `speed` (1, 10,
    // or CanPlayback::kAtOnce) from the next Pump on. Everything starts
    // afresh, the capture at the recording's first frame. False, with the reason, when the file cannot be read; its
    // malformed lines are in recording().
    bool Play(const std::string& path, double speed, std::string& error);
    bool Playing() const { return playing_; }
    const CanRecording& recording() const { return recording_; }

    // Reads the frame lines waiting, for at most `budgetMs`, into the
    // capture and the log; what a flood leaves waits for the next call.
    // Never waits for the port. Returns the frames handled.
    size_t Pump(int budgetMs, FilterMode mode, bool capture);
    // The next frame the filter passes, waiting up to `waitMs` for it,
    // handled like Pump's.
    std::optional<Frame> NextFrame(int waitMs);

    // Writes the frames the filter passes as a candump log, and the marks
    // beside it (CanMarks::SidecarPath); false with the reason in `error`.
    bool Save(const QString& path, QString& error);
    // A new capture from `startUs` on (the clock of the frames' times): the
    // statistics, the marks and the frame log emptied, the frame line count
    // to 0. The table of identifiers stays, with the bits a filter retired,
    // until Reset.
    void StartCapture(int64_t startUs);
    // Everything afresh from now: a new capture, and the table, the
    // captured changes and the counters emptied.
    void Reset();
    // Marks placed, deleted or taken back since the capture started, its
    // marks were read or last saved: a new capture would drop them.
    bool MarksUnsaved() const { return marks_.size() > 0 && marks_.revision() != savedMarks_; }

    void SetFilter(const CanFilter& filter);
    const CanFilter& filter() const { return filter_; }

    // The capture's clock now: the computer's, or the recording's.
    int64_t Now() const;
    // A mark at Now().
    void Mark(const std::string& label, CanMove move = CanMove::None);
    CanMarks& marks() { return marks_; }
    const CanMarks& marks() const { return marks_; }
    // The bits that changed after the marks, over the frames the filter passes.
    std::vector<SignalHunt::Candidate> Rank(const SignalHunt::Options& options = {}) const;

    CanCapture& capture() { return capture_; }
    const CanCapture& capture() const { return capture_; }
    const BusStatistics& statistics() const { return statistics_; }
    const CanFrameLog& frames() const { return frames_; }

  private:
    // Refills batch_: what the background reader has read, or what is
    // waiting, waiting up to `waitMs` for the first line.
    void ReadBatch(int waitMs, size_t most);
    // A frame timed `us` into the log, and when the filter passes it, into
    // the capture and the statistics; true when it passed.
    bool Handle(const CanRecord& frame, int64_t us, FilterMode mode, bool capture);
    size_t PumpRecording(int budgetMs, FilterMode mode, bool capture);

    ByteChannel* link_ = nullptr;
    std::unique_ptr<CanFrameReader> can_;
    // Declared after can_, so it stops before the link it reads goes.
    std::unique_ptr<CanReader> reader_;
    bool background_ = false;
    std::vector<Frame> batch_;  // frames read, not yet handed out
    size_t batchNext_ = 0;
    CanFilter filter_;
    CanCapture capture_;
    BusStatistics statistics_;
    CanFrameLog frames_;
    CanMarks marks_;
    uint64_t savedMarks_ = 0;  // the marks' revision when saved or read
    CanRecording recording_;
    CanPlayback playback_;
    // A failed handshake closes the session on the request worker while the
    // window's display tick asks for the time, which depends on this.
    std::atomic<bool> playing_{false};
};

}  // namespace k57
