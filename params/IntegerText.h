#pragma once

#include <cstdint>
#include <string>

namespace k57 {

// Reads a whole text as a signed 32-bit integer: optional leading spaces, an
// optional sign, then decimal digits or hexadecimal digits after one of "$",
// "x", "X", "0x", "0X". Anything else, or a value out of range, fails.
bool ParseInteger(const std::string& text, int32_t& value);

}  // namespace k57
