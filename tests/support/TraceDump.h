#pragma once

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "TraceFormat.h"

namespace k57::test {

// The bytes of a trace's hex dumps, put back together from its lines (one
// text, a line each): a value split across two dump lines is whole again,
// so a search for it cannot miss. Heading lines hold no dump and are left out.
inline std::string DumpedBytes(const std::string& text) {
    constexpr size_t kIndent = 8;
    constexpr size_t kHexColumns = 5 + kTraceDumpWidth * 3 + 1;  // offset, bytes, middle gap
    std::string bytes;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.compare(0, kIndent, std::string(kIndent, ' ')) != 0) {
            continue;
        }
        std::istringstream fields(line.substr(kIndent + 5, kHexColumns - 5));
        std::string field;
        while (fields >> field) {
            bytes += char(std::strtol(field.c_str(), nullptr, 16));
        }
    }
    return bytes;
}

inline std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

}  // namespace k57::test
