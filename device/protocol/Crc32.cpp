#include "Crc32.h"

#include <array>

namespace {

constexpr std::array<uint32_t, 256> MakeTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t r = n;
        for (int bit = 0; bit < 8; ++bit) {
            r = (r & 1) ? (r >> 1) ^ 0xEDB88320u : r >> 1;
        }
        table[n] = r;
    }
    return table;
}

constexpr std::array<uint32_t, 256> kTable = MakeTable();

}  // namespace

uint32_t Crc32(const uint8_t* data, unsigned length) {
    uint32_t r = 0;
    for (unsigned i = 0; i < length; ++i) {
        r = kTable[(r ^ data[i]) & 0xFF] ^ (r >> 8);
    }
    return r;
}
