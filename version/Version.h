#pragma once

#include <string>

namespace k57 {

// "k57tool 1.0 (abc1234)": the project's version, and the checkout it was
// built from when that is known.
std::string VersionText(const char* program);

}  // namespace k57
