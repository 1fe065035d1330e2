#include "CanPlayback.h"

#include <algorithm>

namespace k57 {

void CanPlayback::Start(const std::vector<LoggedFrame>& frames, double speed, int64_t hostNowUs) {
    frames_ = &frames;
    handed_ = 0;
    speed_ = speed;
    startHostUs_ = hostNowUs;
    startUs_ = frames.empty() ? 0 : frames.front().us;
}

int64_t CanPlayback::RecordingTime(int64_t hostNowUs) const {
    if (speed_ == kAtOnce) {
        // Played at once: "now" is where the reading got to.
        return frames_ && !frames_->empty() ? (*frames_)[std::max<size_t>(handed_, 1) - 1].us
                                            : startUs_;
    }
    return startUs_ + int64_t(double(hostNowUs - startHostUs_) * speed_);
}

std::pair<size_t, size_t> CanPlayback::Take(int64_t hostNowUs, size_t most) {
    size_t first = handed_, end = first;
    if (!frames_) {
        return {first, end};
    }
    size_t last = std::min(frames_->size(), first + most);
    if (speed_ == kAtOnce) {
        end = last;
    } else {
        int64_t now = RecordingTime(hostNowUs);
        while (end < last && (*frames_)[end].us <= now) {
            ++end;
        }
    }
    handed_ = end;
    return {first, end};
}

}  // namespace k57
