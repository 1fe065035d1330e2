#pragma once

#include <optional>
#include <string>

#include "Parameter.h"
#include "SettingsProblem.h"

namespace k57 {

// The editor's rules for a value typed for `parameter` (Windows-1251 bytes):
// nothing when it is acceptable. Besides its type and bounds, the PIN must
// be digits and a phone number "+" and digits, which the catalogue cannot
// say: it gives them only their lengths. An Enum value is not checked here: the
// editor offers only its items, and a value read from the unit that matches
// none stays until the user picks one (see IsChoice).
std::optional<SettingsProblem> ValidateValue(const Parameter& parameter, const std::string& text);

// True when `text` is the decimal text of one of the enumeration's items,
// exactly as the editor writes it and selects it ("02" or "$2" is not "2").
bool IsChoice(const EnumValueList* items, const std::string& text);

}  // namespace k57
