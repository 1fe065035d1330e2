#include "Cp1252.h"

#include <cstdint>

#include "Utf8.h"

namespace k57::cp1252 {

namespace {

// 0x80..0x9F; every other byte is the code point of the same number.
const uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98
};

}  // namespace

std::string ToUtf8(std::string_view windows1252) {
    std::string out;
    out.reserve(windows1252.size() * 2);
    for (char c : windows1252) {
        uint8_t byte = uint8_t(c);
        utf8::Append(out, byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : byte);
    }
    return out;
}

}  // namespace k57::cp1252
