#include "SettingsVerdict.h"

namespace k57 {

bool SettingsVerdict::ok() const {
    for (const SettingsLine& line : lines) {
        if (line.problem) {
            return false;
        }
    }
    return true;
}

bool SettingsVerdict::SetsNothing() const {
    for (const SettingsLine& line : lines) {
        if (!line.problem) {
            return false;
        }
    }
    return true;
}

std::vector<SettingsLine> SettingsVerdict::Problems() const {
    std::vector<SettingsLine> problems;
    for (const SettingsLine& line : lines) {
        if (line.problem) {
            problems.push_back(line);
        }
    }
    return problems;
}

}  // namespace k57
