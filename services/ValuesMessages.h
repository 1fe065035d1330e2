#pragma once

#include <string>

#include "ValuesFile.h"

namespace k57 {

// The window's words for a values file's problem, UTF-8: where it is
// ("строка 4, столбец 3 (UserNumber1)"; less for the whole row or file)
// and what is wrong, a value's in the settings checks' own words.
std::string ValuesProblemPlace(const ValuesProblem& problem);
std::string ValuesWindowMessage(const ValuesProblem& problem);

}  // namespace k57
