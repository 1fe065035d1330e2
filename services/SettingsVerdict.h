#pragma once

#include <optional>
#include <string>
#include <vector>

#include "SettingsFile.h"
#include "SettingsProblem.h"

namespace k57 {

// One non-empty line of a settings text as read, or one typed assignment.
struct SettingsLine {
    int number = 0;     // from 1: the line as a file shows it, or the assignment's position
    std::string key;    // Windows-1251; empty when the line has no key
    std::string value;  // Windows-1251
    std::optional<SettingsProblem> problem;
    int earlierLine = 0;  // for DuplicateKey: the line that set the key first
};

// What a settings text says, line by line: the same for every front end,
// which differ only in the words they use for the problems.
struct SettingsVerdict {
    std::vector<SettingsLine> lines;

    bool ok() const;
    std::vector<SettingsLine> Problems() const;
    // No line sets a parameter: applied, the text leaves every setting at
    // its default, the PIN and the phone numbers included.
    bool SetsNothing() const;
};

// A settings file read and judged. A file refused as a whole (`problem` not
// None) has no lines; `detail` is then the system's reason (Unreadable) or
// the number of the line at fault (NulByte, LongLine).
struct SettingsFileVerdict {
    SettingsFile::Problem problem = SettingsFile::Problem::None;
    std::string detail;
    SettingsVerdict verdict;

    bool readable() const { return problem == SettingsFile::Problem::None; }
};

}  // namespace k57
