#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "CanFrameLog.h"

namespace k57 {

// What each identifier has done in one capture: its frames, their rate and
// period, over the whole capture and over the last seconds, how often each
// bit flipped (its heat) and when each bit last changed.
// Bits are numbered 8 * byte + (7 - n) for bit n of a byte counted from
// the most significant, so bit 7 of byte 0 is 0x80 of the first byte.
class BusStatistics {
  public:
    // The recent rate and period are over the frames of the last kRecentUs,
    // at most kRecentMost of them (a fast message's last fraction of a
    // second), and at least the last two (a slow message's last period).
    static constexpr int64_t kRecentUs = 5'000'000;
    static constexpr size_t kRecentMost = 1024;

    // The times of an identifier's recent frames: a ring that grows up to
    // kRecentMost.
    struct RecentTimes {
        std::vector<int64_t> times;
        size_t oldest = 0;
        size_t count = 0;

        void Add(int64_t us);
        int64_t Oldest() const { return times[oldest]; }
        int64_t Newest() const { return times[(oldest + count - 1) % times.size()]; }
        size_t capacity() const { return times.capacity(); }
    };

    struct Identifier {
        uint32_t id = 0;
        bool extended = false;
        uint64_t frames = 0;
        int64_t firstUs = 0;
        int64_t lastUs = 0;
        uint8_t data[8] = {};
        uint32_t flips[64] = {};
        int64_t changedUs[64] = {};  // when each bit last changed; 0: never
        RecentTimes recent;

        // Frames a second over the capture; 0 with fewer than two frames.
        double Rate() const;
        // The mean time between frames in milliseconds; 0 with fewer than two.
        double PeriodMs() const;
        // The same over the recent frames (see kRecentUs): what the table
        // shows, which follows a change of pace within seconds.
        double RecentRate() const;
        double RecentPeriodMs() const;
        uint8_t ChangingBits(int byte) const;  // bits of `byte` that ever flipped
        // No frame for `quietUs` up to `nowUs`.
        bool Silent(int64_t nowUs, int64_t quietUs) const { return nowUs - lastUs >= quietUs; }
        // The bit changed less than `holdUs` before `nowUs`.
        bool Held(int bit, int64_t nowUs, int64_t holdUs) const {
            return changedUs[bit] != 0 && nowUs - changedUs[bit] < holdUs;
        }
    };

    void Clear();
    void Add(const LoggedFrame& frame);
    // The identifier's figures, or nothing before its first frame.
    const Identifier* Find(uint64_t key) const;
    // Every identifier seen, in the order first seen.
    const std::vector<Identifier>& identifiers() const { return identifiers_; }

    // How hot a bit is on a log scale: 0 for a bit that never flipped, then
    // 1 (about once in 10,000 frames or less) to `levels` - 1 (every frame).
    static int HeatLevel(uint32_t flips, uint64_t frames, int levels);
    // The bit's index as the class numbers them.
    static int BitIndex(int byte, int bitFromTop) { return 8 * byte + 7 - bitFromTop; }
    // The median time between frames of each identifier (LoggedFrame::Key)
    // with two frames or more, in milliseconds: unlike the mean, not pulled
    // by a gap or a burst.
    static std::unordered_map<uint64_t, double> MedianPeriodsMs(
        const std::vector<LoggedFrame>& frames);

  private:
    std::vector<Identifier> identifiers_;
    std::unordered_map<uint64_t, size_t> index_;
};

}  // namespace k57
