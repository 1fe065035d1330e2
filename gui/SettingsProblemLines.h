#pragma once

#include <QString>
#include <string>

#include "SettingsFile.h"
#include "SettingsVerdict.h"

namespace k57 {

// A settings text's problem line as the windows list it:
// "строка 3, MicLevel: 99 - многовато будет."
QString ProblemLine(const SettingsLine& line);

// Why a settings file was refused as a whole, in the windows' words.
QString FileProblem(SettingsFile::Problem problem, const std::string& detail);

}  // namespace k57
