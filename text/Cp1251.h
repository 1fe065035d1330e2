#pragma once

#include <optional>
#include <string>
#include <string_view>

// The unit's code page. Its texts, the catalogue and settings files are
// Windows-1251 bytes; this is the one place where they meet UTF-8, the
// program's own encoding. A table, not the platform's converters, so the
// result is the same on every system whatever its locale support.
namespace k57::cp1251 {

// Every byte has a character (0x98 stands for U+0098, as on Windows).
std::string ToUtf8(std::string_view windows1251);
// Nothing when the text is not UTF-8 or a character has no Windows-1251 byte.
std::optional<std::string> FromUtf8(std::string_view utf8);

}  // namespace k57::cp1251
