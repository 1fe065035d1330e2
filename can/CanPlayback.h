#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "CanFrameLog.h"

namespace k57 {

// Plays a recording against the computer's clock: at its own pace, ten
// times faster, or all at once. Times handed out are the recording's; the
// host's clock only paces them.
class CanPlayback {
  public:
    static constexpr double kAtOnce = 0;

    // `frames` must outlive the playback. `speed`: 1, 10 or kAtOnce.
    void Start(const std::vector<LoggedFrame>& frames, double speed, int64_t hostNowUs);
    // The next frames due by `hostNowUs`, at most `most`: [handed, end);
    // they count as handed out.
    std::pair<size_t, size_t> Take(int64_t hostNowUs, size_t most);
    bool Finished() const { return !frames_ || handed_ >= frames_->size(); }
    // The recording's time at `hostNowUs`: where a mark placed now belongs.
    int64_t RecordingTime(int64_t hostNowUs) const;

  private:
    const std::vector<LoggedFrame>* frames_ = nullptr;
    size_t handed_ = 0;
    double speed_ = 1;
    int64_t startHostUs_ = 0;
    int64_t startUs_ = 0;
};

}  // namespace k57
