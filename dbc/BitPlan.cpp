#include "BitPlan.h"

namespace k57::dbc {

std::optional<BitPlan> BitPlan::For(int startBit, int length, bool motorola) {
    if (length < 1 || length > 64 || startBit < 0 || startBit >= kMaxBytes * 8) {
        return std::nullopt;
    }
    BitPlan plan;
    // Walk the bits from the raw value's least significant one. Intel: up
    // from the start bit. Motorola: the start bit is the most significant,
    // so find the least significant one by walking down the sawtooth
    // (7..0 in byte 0, then 15..8 in byte 1) length - 1 times.
    int position = startBit;
    if (motorola) {
        for (int i = 1; i < length; ++i) {
            position = position % 8 == 0 ? position + 15 : position - 1;
            if (position >= kMaxBytes * 8) {
                return std::nullopt;
            }
        }
    } else if (startBit + length > kMaxBytes * 8) {
        return std::nullopt;
    }
    // From the least significant bit, each step takes as many bits of one
    // byte as the signal holds there: upwards within a byte for both
    // orders; Intel goes on to the next byte, Motorola to the previous one.
    int done = 0;
    while (done < length) {
        int byte = position / 8;
        int bit = position % 8;
        int width = 8 - bit < length - done ? 8 - bit : length - done;
        plan.steps[plan.count++] = Step{uint8_t(byte), uint8_t(bit),
                                        uint8_t((1u << width) - 1), uint8_t(done)};
        if (byte + 1 > plan.bytesNeeded) {
            plan.bytesNeeded = uint8_t(byte + 1);
        }
        done += width;
        position = motorola ? (byte - 1) * 8 : (byte + 1) * 8;
    }
    return plan;
}

}  // namespace k57::dbc
