#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// UTF-8 reading and writing shared by the single-byte code pages' converters
// and the test of a file's encoding.
namespace k57::utf8 {

// `cp` below U+10000: the code pages map no byte above the BMP.
inline void Append(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | cp >> 6);
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xE0 | cp >> 12);
        out += char(0x80 | (cp >> 6 & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// The code point of `text` at `at`, which moves past it; nothing for
// malformed UTF-8, overlong forms and surrogates included.
inline std::optional<uint32_t> Next(std::string_view text, size_t& at) {
    uint8_t lead = uint8_t(text[at++]);
    if (lead < 0x80) {
        return lead;
    }
    int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (extra < 0 || lead > 0xF4 || at + size_t(extra) > text.size()) {
        return std::nullopt;
    }
    uint32_t cp = lead & (0x3F >> extra);
    for (int i = 0; i < extra; ++i) {
        uint8_t next = uint8_t(text[at++]);
        if ((next & 0xC0) != 0x80) {
            return std::nullopt;
        }
        cp = cp << 6 | (next & 0x3F);
    }
    static const uint32_t kSmallest[4] = {0, 0x80, 0x800, 0x10000};
    if (cp < kSmallest[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return std::nullopt;
    }
    return cp;
}

// Whether `text` is UTF-8 throughout.
inline bool IsValid(std::string_view text) {
    for (size_t at = 0; at < text.size();) {
        if (!Next(text, at)) {
            return false;
        }
    }
    return true;
}

}  // namespace k57::utf8
