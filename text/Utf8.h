#pragma once

#include <cstdint>
#include <string>

// UTF-8 writing shared by the single-byte code pages' converters.
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

}  // namespace k57::utf8
