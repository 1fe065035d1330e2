#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "UnitOptions.h"

// k57sim's command line.
namespace k57::sim {

extern const char kUsage[];

// Why the command line was refused; empty while it is good.
struct Refusal {
    std::string why;
    bool operator()(const std::string& text) {
        why = text;
        return false;
    }
};

// The units plugged in one after another (--next-serials).
struct Row {
    std::vector<uint32_t> serials;
    int awayMs = 1000;
};

// Reads the options into `options` and the rest; false (and why in
// `refuse`) when the command line is no good.
bool Parse(int argc, char** argv, UnitOptions& options, int& com, std::string& link, Row& row,
           bool& flips, bool& trace, Refusal& refuse);

}  // namespace k57::sim
