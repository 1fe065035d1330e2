#pragma once

#include <string>

#include "Cp1251.h"

namespace k57::test {

// The Windows-1251 bytes of a UTF-8 text, for comparing with model strings.
inline std::string Cp1251(const char* utf8) {
    return k57::cp1251::FromUtf8(utf8).value_or(std::string());
}

}  // namespace k57::test
