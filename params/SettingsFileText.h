#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace k57 {

// A settings file's bytes as the unit's Windows-1251 text. The file may be
// UTF-8 (`k57ctl settings read > file`, or an editor's choice): such a file
// is converted; any other is in the unit's code page already.
struct SettingsFileText {
    // Windows-1251. A line with characters the unit's code page lacks stays
    // as the file has it, and is listed in `outsideCodePage`.
    std::string text;
    bool utf8 = false;
    std::vector<int> outsideCodePage;  // line numbers, from 1
};

SettingsFileText ToUnitText(std::string_view fileBytes);

}  // namespace k57
