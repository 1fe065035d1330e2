#include "StampClock.h"

#include <algorithm>
#include <cmath>

namespace k57 {

int64_t StampClock::Unwrap(int32_t stampMs, int64_t arrivalUs) {
    if (!started_) {
        started_ = true;
        lastStamp_ = stampMs;
        lastUnwrapped_ = stampMs;
        lastArrivalUs_ = arrivalUs;
        return lastUnwrapped_;
    }
    int64_t step = (int64_t(stampMs) - lastStamp_ + kWrapMs) % kWrapMs;
    int64_t elapsedMs = (arrivalUs - lastArrivalUs_) / 1000;
    if (step > kWrapMs / 2 && elapsedMs < step - kWrapMs / 2) {
        step = 0;  // a little back in time, not nearly a minute on
    } else if (elapsedMs > step + kWrapMs / 2) {
        // Silence for more than a wrap: whole wraps went by unseen.
        step += (elapsedMs - step + kWrapMs / 2) / kWrapMs * kWrapMs;
    }
    lastStamp_ = stampMs;
    lastUnwrapped_ += step;
    lastArrivalUs_ = arrivalUs;
    return lastUnwrapped_;
}

void StampClock::Observe(int64_t unwrappedMs, int64_t arrivalUs) {
    int64_t anchor = arrivalUs - unwrappedMs * 1000;
    if (!anchored_ || anchor < anchorUs_) {
        anchorUs_ = anchor;
        anchored_ = true;
    }
}

int64_t StampClock::TimeOf(int64_t unwrappedMs) {
    return Ordered(anchorUs_ + unwrappedMs * 1000);
}

int64_t StampClock::Unstamped(int64_t arrivalUs) {
    return Ordered(arrivalUs);
}

int64_t StampClock::Ordered(int64_t us) {
    lastUs_ = std::max(lastUs_, us);
    return lastUs_;
}

}  // namespace k57
