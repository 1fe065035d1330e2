#pragma once

#include <cstdint>

namespace k57 {

// Gives each received frame its own time. The unit and serial CAN adapters
// stamp frames with a millisecond count that wraps at 60,000; the count is
// unwrapped and anchored to the computer's clock, so that frames read in
// one go keep the spacing they were sent with. The anchor is the smallest
// delay seen between a stamp and its frame's arrival, so no frame is
// placed after it arrived. Times never go back: arrival order is kept.
class StampClock {
  public:
    static constexpr int64_t kWrapMs = 60000;

    void Reset() { *this = StampClock{}; }
    // A frame stamped `stampMs` that arrived at `arrivalUs` (host clock):
    // its unwrapped stamp in milliseconds. Only stamps below kWrapMs count.
    int64_t Unwrap(int32_t stampMs, int64_t arrivalUs);
    // Moves the anchor so that the frame unwrapped to `unwrappedMs`, which
    // arrived at `arrivalUs`, lies no later than its arrival. Every frame
    // of a read is observed before any is timed.
    void Observe(int64_t unwrappedMs, int64_t arrivalUs);
    // The host time of a frame unwrapped to `unwrappedMs`.
    int64_t TimeOf(int64_t unwrappedMs);
    // The time of a frame without a stamp: its arrival.
    int64_t Unstamped(int64_t arrivalUs);

  private:
    int64_t Ordered(int64_t us);

    bool started_ = false;
    bool anchored_ = false;
    int32_t lastStamp_ = 0;
    int64_t lastUnwrapped_ = 0;
    int64_t lastArrivalUs_ = 0;
    int64_t anchorUs_ = 0;  // host time of unwrapped stamp 0
    int64_t lastUs_ = INT64_MIN;
};

}  // namespace k57
