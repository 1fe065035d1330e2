#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace k57 {

// `text` with %1, %2 ... %9 replaced by the arguments in that order, as
// QString::arg does for the windows: a translated sentence puts the numbers
// and names where its language wants them. Replaced in one pass, so an
// argument that itself holds "%2" (a file name, a value the user typed)
// stays as it is. A marker without its argument is left in place.
std::string WithArguments(std::string_view text, std::initializer_list<std::string_view> args);

}  // namespace k57
