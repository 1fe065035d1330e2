#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "CanTraffic.h"
#include "MotionTrace.h"
#include "Trace.h"
#include "UnitOptions.h"

namespace orvan::tms::messages {
class AbstractMessage;
}

namespace k57::sim {

using Bytes = std::vector<uint8_t>;

// What the unit sends: a reply frame to a framed request of `code`, or
// text (CAN command replies, streamed lines).
struct Outgoing {
    bool framed = false;
    uint16_t code = 0;
    Bytes bytes;
};

// A message as it goes on the wire: its frame and the 4-byte trailer.
Bytes EncodedFrame(orvan::tms::messages::AbstractMessage& message);

// The unit's protocol, single-threaded and without a port: bytes in, what
// the unit answers out. It knows the framed requests, the diagnostic mode's
// text and the CAN channel's commands; faults and timing are not its work.
class UnitCore {
  public:
    struct Commit {
        uint32_t size;
        uint32_t checksum;
        bool accepted;  // size and checksum match what was received
    };

    // `trace` is shared with the unit that this core replaces, when a unit
    // is plugged in again: whoever watches the trace keeps watching.
    explicit UnitCore(UnitOptions options,
                      std::shared_ptr<Trace> trace = std::make_shared<Trace>());
    ~UnitCore();

    // Takes bytes from the tool; returns the answers in order.
    std::vector<Outgoing> Receive(const uint8_t* bytes, size_t n, uint64_t nowUs);
    // Text the unit sends by itself by `nowUs`: diagnostic and CAN lines.
    // With `canFrames`, the CAN frame lines go there instead.
    std::string Stream(uint64_t nowUs, std::string* canFrames = nullptr);
    void FlipCanBit() { can_->Flip(options_.canFlip); }
    // When Stream next has something to say; `nowUs` plus 100 ms at most.
    uint64_t NextDueUs(uint64_t nowUs) const;

    UnitOptions& options() { return options_; }
    const UnitOptions& options() const { return options_; }
    const std::vector<int>& requests() const { return requests_; }
    const Bytes& image() const { return image_; }
    const std::vector<Commit>& commits() const { return commits_; }
    int restarts() const { return restarts_; }
    // The sound data the unit holds: the last accepted sound commit's size
    // and checksum (zero before any).
    const Commit& sound() const { return sound_; }
    bool diagnosticMode() const { return diagnosticMode_; }
    bool canOpen() const { return canOpen_; }
    int canSkipped() const { return can_->skipped(); }
    // The CAN commands received, without their CR.
    const std::vector<std::string>& canCommands() const { return canCommands_; }
    // The unit's side of the link, off until turned on: its own, so that a
    // tool in the same process keeps its trace apart.
    Trace& trace() { return *trace_; }
    const std::shared_ptr<Trace>& sharedTrace() const { return trace_; }

  private:
    using Message = orvan::tms::messages::AbstractMessage;

    bool HandleCommand(std::vector<Outgoing>& out, uint64_t nowUs);
    void HandleFrame(std::vector<Outgoing>& out);
    std::string Command(const std::string& command, uint64_t nowUs);
    std::unique_ptr<Message> Answer(uint16_t code, const Message* request);
    void Install(const Commit& commit);

    UnitOptions options_;
    std::vector<int> requests_;
    Bytes image_;
    std::vector<Commit> commits_;
    int restarts_ = 0;
    bool firmwareUpdate_ = false;  // what the transfer under way carries
    Commit sound_{0, 0, false};
    bool diagnosticMode_ = false;
    bool canOpen_ = false;
    std::vector<std::string> canCommands_;

    Bytes inbox_;
    uint64_t lastInputUs_ = 0;
    uint64_t nextDiagnosticUs_ = 0;
    int diagnosticLines_ = 0;
    std::unique_ptr<MotionTrace> motion_;  // from the first reading on
    uint64_t motionStartUs_ = 0;
    std::unique_ptr<CanTraffic> can_;
    std::shared_ptr<Trace> trace_;
};

}  // namespace k57::sim
