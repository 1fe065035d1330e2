#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "CanCapture.h"
#include "CanFrameLog.h"
#include "CanLink.h"
#include "DeviceInterface.h"

namespace k57 {

// The unit's CAN channel as the CAN monitor and k57ctl use it: opening and
// closing it, and reading the frames that arrive into the capture (the
// table of identifiers, the captured changes, the counters) and into the
// frame log. The capture and the log outlive the channel: they are shown
// and saved after it closed.
class CanSession {
  public:
    // What opening the channel came to.
    struct Opening {
        int result = kNoReply;  // kReplyOk, kPortUnavailable or kNoReply
        std::string version;    // the unit's two version replies, each followed by a blank
        std::string reason;     // why the port did not open (UTF-8)
    };
    // A frame as it was received, with the computer's time of reception.
    struct Frame {
        CanRecord record;
        int64_t us = 0;  // microseconds since the epoch
    };

    // Opens `link`'s port and the channel at the bit-rate code (CanLink's
    // kBitRates): OpenPort, then Handshake. The link must live until Close.
    Opening Open(ByteChannel& link, int bitRateCode);
    // The first half: the port alone, kReplyOk or kPortUnavailable. Once
    // it is open the frame log and the frame line count start afresh.
    Opening OpenPort(ByteChannel& link);
    // The second half, on the port just opened: it waits for the unit's
    // replies, up to five times 100 ms, and may run on another thread than
    // the rest, as it touches only the channel. On failure the channel and
    // the port are closed again.
    Opening Handshake(int bitRateCode);
    // Sends the close command and closes the port; nothing when not open.
    void Close();
    bool IsOpen() const;
    // False once no more bytes can come: the port closed or hung up.
    bool Connected() const;

    // Reads the frame lines waiting, for at most `budgetMs`, into the
    // capture and the log; what a flood leaves waits for the next call.
    // Never waits for the port. Returns the frames handled.
    size_t Pump(int budgetMs, FilterMode mode, bool capture);
    // The next frame, waiting up to `waitMs` for it, handled like Pump's.
    std::optional<Frame> NextFrame(int waitMs);

    // Writes the log as a candump log; false with the reason in `error`.
    bool Save(const QString& path, QString& error) const;
    // Empties the capture and sets its counters to 0.
    void Reset() { capture_.Reset(); }

    CanCapture& capture() { return capture_; }
    const CanCapture& capture() const { return capture_; }
    const CanFrameLog& frames() const { return frames_; }

  private:
    enum class Line { None, Other, Frame };
    // The next line within `waitMs`, parsed into `frame` when it is one.
    Line Read(int waitMs, CanRecord& frame);
    // A frame received at `us` into the log and the capture.
    void Handle(const CanRecord& frame, int64_t us, FilterMode mode, bool capture);

    ByteChannel* link_ = nullptr;
    std::unique_ptr<CanLink> can_;
    std::string line_;  // the line being handled, its storage kept
    CanCapture capture_;
    CanFrameLog frames_;
};

}  // namespace k57
