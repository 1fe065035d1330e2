#include "TextEncoding.h"

#include <cctype>

#include "Cp1251.h"
#include "Cp1252.h"

namespace k57::dbc {

std::optional<Encoding> EncodingNamed(std::string_view name) {
    std::string lower;
    for (char c : name) {
        lower += char(std::tolower(uint8_t(c)));
    }
    if (lower == "cp1252" || lower == "windows-1252") {
        return Encoding::Cp1252;
    }
    if (lower == "cp1251" || lower == "windows-1251") {
        return Encoding::Cp1251;
    }
    if (lower == "utf8" || lower == "utf-8") {
        return Encoding::Utf8;
    }
    return std::nullopt;
}

std::string ToUtf8(std::string_view text, Encoding encoding) {
    switch (encoding) {
        case Encoding::Cp1251:
            return cp1251::ToUtf8(text);
        case Encoding::Utf8:
            return std::string(text);
        default:
            return cp1252::ToUtf8(text);
    }
}

}  // namespace k57::dbc
