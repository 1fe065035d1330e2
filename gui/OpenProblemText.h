#pragma once

#include <QString>

#include "OpenProblem.h"

namespace k57 {

// Why a port did not open, in the window's words: "нет такого порта".
// The system's own code picks the words; a code without words of its own is
// shown as its number.
QString OpenProblemText(const OpenProblem& problem);

}  // namespace k57
