#pragma once

#include <string>

#include "SettingsProblem.h"

namespace k57 {

// The window's words for a settings problem, UTF-8, as the editor and the
// main window show them. `value` is the value as given (Windows-1251); the
// messages about numbers and choices repeat it. `earlierLine` is the line
// that set the key before, for DuplicateKey.
std::string WindowMessage(SettingsProblem problem, const std::string& value = {},
                          int earlierLine = 0);

}  // namespace k57
