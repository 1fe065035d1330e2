#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "AbstractMessage.h"
#include "Clock.h"
#include "ByteChannel.h"

namespace k57 {

// Finds one reply frame of the expected code among what the link brings
// within a time-out. The line may still carry the rest of an earlier
// exchange (a reply cut off by its time-out, a monitor's text lines), so
// nothing is taken on trust: bytes that cannot start a frame (a code the
// protocol lacks, or a length the code's layout cannot have, such as more
// than 1016 bytes) are let go one at a time, and a whole frame of another
// type is let go as a whole; the wait reads on to the end of its time-out.
// Everything let go shows in the trace as skipped.
class ReplyReader {
  public:
    static constexpr uint16_t kMaxPayload = 1016;

    // The longest real time between two looks at `abandoned`.
    static constexpr uint32_t kPollSliceMs = 50;

    ReplyReader(ByteChannel& channel, Clock& clock, const std::atomic<bool>& abandoned)
        : channel_(channel), clock_(clock), abandoned_(abandoned) {}

    // Drops whatever an earlier wait left held.
    void Reset();
    // Waits for one frame of the `expected` code: 1 with the reply. When
    // none comes within `timeoutMs` (or the wait is abandoned): -3 if a
    // frame of another type or one that cannot be decoded came meanwhile
    // (`received` then describes the last of them), -2 otherwise; -5 at
    // once when the port can deliver nothing more (it has hung up).
    int Wait(int16_t expected, uint32_t timeoutMs,
             std::unique_ptr<orvan::tms::messages::AbstractMessage>& reply);
    struct Received {
        int type = 0;  // without the flag bit
        int length = 0;
        bool decoded = false;
    };
    const Received& received() const { return received_; }
    // False when the last wait let anything go or ended without its reply:
    // the rest of something may still be on its way.
    bool clean() const { return clean_; }

  private:
    // Looks through the bytes held: 1 with the reply, 0 while more are needed.
    int Scan(int16_t expected, std::unique_ptr<orvan::tms::messages::AbstractMessage>& reply);
    // Where a whole frame of the `expected` code that decodes begins in the
    // bytes held, after the first; 0 for none.
    size_t ExpectedFrameAfterStart(int16_t expected) const;
    // Reads what is waiting, no more than the next decision needs unless
    // the reader is hunting through noise; true when anything came.
    bool Take();
    // Lets the first `n` bytes held go, into the trace's run of skipped bytes.
    void Skip(size_t n);
    void TraceSkipped();
    // Records why the wait ended without a reply.
    void TraceNoReply(uint32_t timeoutMs, bool hungUp, int result);
    const uint8_t* Held() const { return held_.data() + start_; }
    size_t HeldSize() const { return held_.size() - start_; }

    ByteChannel& channel_;
    Clock& clock_;
    const std::atomic<bool>& abandoned_;
    Received received_;
    std::vector<uint8_t> held_;  // read, not yet judged: from start_ on
    size_t start_ = 0;
    std::vector<uint8_t> skipped_;  // let go, not yet in the trace
    bool hunting_ = false;          // something was let go in this wait
    bool sawBad_ = false;
    bool anything_ = false;  // any byte came in this wait
    bool clean_ = true;
};

}  // namespace k57
