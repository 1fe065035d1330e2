#include "Cp1251.h"

#include <cstdint>

#include "Utf8.h"

namespace k57::cp1251 {

namespace {

// 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F in order.
const uint16_t kCp1251High[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

uint16_t CodePoint(uint8_t byte) {
    if (byte < 0x80) {
        return byte;
    }
    return byte < 0xC0 ? kCp1251High[byte - 0x80] : uint16_t(0x0410 + (byte - 0xC0));
}

std::optional<uint8_t> Byte(uint32_t cp) {
    if (cp < 0x80) {
        return uint8_t(cp);
    }
    if (cp >= 0x0410 && cp <= 0x044F) {
        return uint8_t(0xC0 + (cp - 0x0410));
    }
    for (int i = 0; i < 64; ++i) {
        if (kCp1251High[i] == cp) {
            return uint8_t(0x80 + i);
        }
    }
    return std::nullopt;
}

}  // namespace

std::string ToUtf8(std::string_view windows1251) {
    std::string out;
    out.reserve(windows1251.size() * 2);
    for (char c : windows1251) {
        utf8::Append(out, CodePoint(uint8_t(c)));
    }
    return out;
}

std::optional<std::string> FromUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t at = 0; at < utf8.size();) {
        std::optional<uint32_t> cp = utf8::Next(utf8, at);
        std::optional<uint8_t> byte = cp ? Byte(*cp) : std::nullopt;
        if (!byte) {
            return std::nullopt;
        }
        out += char(*byte);
    }
    return out;
}

}  // namespace k57::cp1251
