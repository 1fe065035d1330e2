#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace k57::dbc {

// Where a signal's bits lie in a frame's bytes, worked out once so that
// decoding a frame is a handful of shifts and masks per signal: one step per
// byte the signal touches (at most 9 for 64 bits that start mid-byte).
struct BitPlan {
    struct Step {
        uint8_t byte;
        uint8_t shift;        // of the signal's lowest bit in this byte
        uint8_t mask;         // after the shift
        uint8_t resultShift;  // where these bits go in the raw value
    };

    // CAN FD frames carry at most 64 bytes.
    static constexpr int kMaxBytes = 64;

    Step steps[9] = {};
    uint8_t count = 0;
    uint8_t bytesNeeded = 0;  // the frame must be this long to hold the signal

    // Nothing when the signal does not fit in kMaxBytes or `length` is not
    // 1 to 64. `startBit` as a DBC file writes it: Intel (little-endian)
    // counts from the signal's least significant bit upwards; Motorola
    // (big-endian) names its most significant bit in the sawtooth
    // numbering, where byte 0 holds bits 7..0 from its top down and byte 1
    // goes on with 15..8.
    static std::optional<BitPlan> For(int startBit, int length, bool motorola);

    // The signal's bits, unsigned, from `data` of at least bytesNeeded bytes.
    uint64_t Extract(const uint8_t* data) const {
        uint64_t raw = 0;
        for (int i = 0; i < count; ++i) {
            const Step& s = steps[i];
            raw |= uint64_t((data[s.byte] >> s.shift) & s.mask) << s.resultShift;
        }
        return raw;
    }
};

}  // namespace k57::dbc
