#pragma once

#include <string>
#include <vector>

#include "ParameterList.h"

namespace k57 {

// One line of a settings text that the catalogue refuses.
struct SettingsProblem {
    int line = 0;        // from 1
    std::string key;     // Windows-1251, as in the text
    std::string reason;  // UTF-8, the editor's message for a value
};

// Checks every key=value line of a settings text (lines end in CR LF, LF or
// CR) with the editor's rules. Lines whose key the catalogue does not know,
// and lines without "=", are skipped as the text reader skips them, unless
// `strict`, when they are problems too.
std::vector<SettingsProblem> CheckSettingsText(const ParameterList& list, const std::string& text,
                                               bool strict);

// The text without the lines that have problems, so that reading it keeps
// the defaults (or earlier good lines) for them.
std::string WithoutProblemLines(const std::string& text,
                                const std::vector<SettingsProblem>& problems);

}  // namespace k57
