#pragma once

#include <string>

namespace k57 {

// Who makes a journal entry, for a workshop whose PCs share one record.
// K57_PC_NAME and K57_USER_NAME name them where the system's names say
// nothing useful (a PC cloned from one image, a shared login).

// This PC's name: K57_PC_NAME, else the host's name.
std::string ThisPc();
// The user's name: K57_USER_NAME, else the login's.
std::string ThisUser();
// A new random UUID, lower case with dashes.
std::string NewUuid();

}  // namespace k57
