#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Database.h"

namespace k57::dbc {

// One signal of one frame.
struct Value {
    const Signal* signal = nullptr;
    // The bits as an integer: sign-extended for a signed signal; for an
    // unsigned 64-bit one above INT64_MAX read it as uint64_t.
    int64_t raw = 0;
    double physical = 0;  // raw * factor + offset (IEEE value for float signals), the
                          // double nearest the decimal value for a decimal factor
    const std::string* text = nullptr;  // the VAL_ text of raw, if any
};

// The signals of `message` in a frame of `length` data bytes, in the
// message's order: those the frame is long enough to hold and, for
// multiplexed ones, that their multiplexor's value selects. `out` is
// cleared first; reusing it across frames keeps decoding free of
// allocations.
void Decode(const Message& message, const uint8_t* data, size_t length, std::vector<Value>& out);
std::vector<Value> Decode(const Message& message, const uint8_t* data, size_t length);

// The raw value of `signal` in `data` (at least plan.bytesNeeded bytes).
int64_t RawValue(const Signal& signal, const uint8_t* data);
double PhysicalValue(const Signal& signal, int64_t raw);

}  // namespace k57::dbc
