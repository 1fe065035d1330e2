#pragma once

#include <string>
#include <string_view>

// Western European Windows text, the code page most CAN signal databases
// are written in. A table, like the unit's code page, so the result does
// not depend on the system's locales.
namespace k57::cp1252 {

// Every byte has a character; the five bytes Windows leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control characters of the
// same number, as Windows converts them.
std::string ToUtf8(std::string_view windows1252);

}  // namespace k57::cp1252
