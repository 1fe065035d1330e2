#pragma once

#include <string>

#include "Parameter.h"
#include "SettingsProblem.h"

namespace k57 {

// The window's words for a settings problem, UTF-8, as the editor and the
// main window show them. `value` is the value as given (Windows-1251); the
// messages about numbers and choices repeat it. `earlierLine` is the line
// that set the key before, for DuplicateKey.
std::string WindowMessage(SettingsProblem problem, const std::string& value = {},
                          int earlierLine = 0);

// The editor's refusal of a typed value: the message above, then what
// `parameter` allows when the problem is its range or length:
// "15 - многовато будет. (допустимо от 1 до 14)".
std::string RefusalMessage(const Parameter& parameter, SettingsProblem problem,
                           const std::string& value);

// A choice value that is none of its enumeration's items, as the editor
// shows it in place of an item: "9 (нет в списке)".
std::string OffListChoice(const std::string& value);

}  // namespace k57
