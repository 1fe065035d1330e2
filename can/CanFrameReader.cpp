#include "CanFrameReader.h"

#include "CanCapture.h"
#include "CanFrameLog.h"

namespace k57 {

size_t CanFrameReader::Read(int waitMs, size_t most, std::vector<TimedFrame>& frames) {
    const size_t first = frames.size();
    CanRecord frame;
    // The first line may be waited for; what follows is only what is there.
    for (int wait = waitMs; frames.size() - first < most && can_.ReadCanLine(line_, wait);
         wait = 0) {
        if (CanCapture::ParseCanFrame(line_, frame)) {
            frames.push_back({frame, 0});
        }
    }
    // Every stamp of the read is seen before any frame is timed: the last
    // one tells how early the first ones were sent.
    const int64_t arrival = CandumpNow();
    unwrapped_.assign(frames.size() - first, -1);
    for (size_t i = first; i < frames.size(); ++i) {
        const CanRecord& r = frames[i].record;
        if (r.stamped && r.stamp < StampClock::kWrapMs) {
            unwrapped_[i - first] = clock_.Unwrap(r.stamp, arrival);
            clock_.Observe(unwrapped_[i - first], arrival);
        }
    }
    for (size_t i = first; i < frames.size(); ++i) {
        const int64_t u = unwrapped_[i - first];
        frames[i].us = u >= 0 ? clock_.TimeOf(u) : clock_.Unstamped(arrival);
    }
    return frames.size() - first;
}

}  // namespace k57
