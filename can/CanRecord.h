#pragma once

#include <cstdint>

// The latest state of one CAN identifier.
struct CanRecord {
    uint32_t id = 0;
    bool extended = false;    // a 29-bit identifier (serial CAN adapters' "T" and "R" lines)
    bool remote = false;      // the latest frame was a remote request: no data
    uint8_t dlc = 0;          // as received in the identifier's first frame
    uint8_t data[8] = {};     // the latest frame's data, always 8 bytes
    uint8_t changed[8] = {};  // bits that changed in the latest frame while watched
    uint8_t mask[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};  // watched bits
    int32_t stamp = 0;  // the frame line's four-digit trailer
    bool stamped = false;  // the line had a trailer: `stamp` is the sender's milliseconds

    // Data columns a drawing may show: the length code, but never past the
    // eight bytes a record holds.
    int Columns() const { return dlc < 8 ? dlc : 8; }
    // Records are ordered by this: identifier, standard ones before extended.
    uint64_t Key() const { return (uint64_t(extended) << 32) | id; }
    bool SameIdentifier(const CanRecord& other) const {
        return id == other.id && extended == other.extended;
    }
};

namespace k57 {

// What a change does to the watched bits.
enum class FilterMode {
    None = 0,  // masks stay as they are
    Bit = 1,   // a bit that changed is no longer watched
    Byte = 2,  // a byte with a changed bit is no longer watched
};

// The mode the two filter boxes select: the byte filter wins.
inline FilterMode FilterModeFor(bool bitFilter, bool byteFilter) {
    return byteFilter ? FilterMode::Byte : bitFilter ? FilterMode::Bit : FilterMode::None;
}

}  // namespace k57
