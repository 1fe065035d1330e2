#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "CanFrameLog.h"

namespace k57 {

// What each identifier has done: its frames, their rate and period, how
// often each bit flipped (its heat) and when each bit last changed.
// Bits are numbered 8 * byte + (7 - n) for bit n of a byte counted from
// the most significant, so bit 7 of byte 0 is 0x80 of the first byte.
class BusStatistics {
  public:
    struct Identifier {
        uint32_t id = 0;
        bool extended = false;
        uint64_t frames = 0;
        int64_t firstUs = 0;
        int64_t lastUs = 0;
        uint8_t data[8] = {};
        uint32_t flips[64] = {};
        int64_t changedUs[64] = {};  // when each bit last changed; 0: never

        // Frames a second over the time seen; 0 with fewer than two frames.
        double Rate() const;
        // The mean time between frames in milliseconds; 0 with fewer than two.
        double PeriodMs() const;
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

  private:
    std::vector<Identifier> identifiers_;
    std::unordered_map<uint64_t, size_t> index_;
};

}  // namespace k57
