#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "CanFrameReader.h"

namespace k57 {

// The CAN channel read on a thread of its own, as fast as lines come: an
// adapter holds only a few hundred frames (about 40 ms of a full bus), and
// a window's thread may be busy longer than that. The frames wait here,
// timed, until their owner takes them in a batch. While it runs, the thread
// alone uses `frames` and its port; the owner touches neither until Stop.
class CanReader {
  public:
    // Frames held for an owner that takes none: two minutes of a full bus.
    // Beyond it the newest are let go, and counted.
    static constexpr size_t kMostWaiting = 1 << 20;
    // How long one read waits for a line; also the longest Stop waits.
    static constexpr int kWaitMs = 20;
    // The pause after a read that brought frames, so that the next finds
    // a batch waiting rather than a line or two: the thread wakes about a
    // hundred times a second instead of at every piece the adapter sends.
    // A full bus (8,000 frames/s) fills a fifth of an adapter's 300 frames
    // in it; a coarse system timer (Windows: 15.6 ms) still leaves room.
    static constexpr int kPauseMs = 8;

    explicit CanReader(CanFrameReader& frames);
    ~CanReader();
    CanReader(const CanReader&) = delete;
    CanReader& operator=(const CanReader&) = delete;

    // Moves the frames read since the last call into `into`, oldest first.
    void Take(std::vector<TimedFrame>& into);
    // Frames let go because the owner left kMostWaiting untaken.
    uint64_t lost() const;

  private:
    void Run();

    CanFrameReader& frames_;
    mutable std::mutex mutex_;
    std::vector<TimedFrame> waiting_;  // guarded by mutex_
    uint64_t lost_ = 0;                // guarded by mutex_
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace k57
