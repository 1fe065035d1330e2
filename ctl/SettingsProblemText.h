#pragma once

#include <string>

#include "ParameterList.h"
#include "SettingsVerdict.h"

namespace k57::ctl {

// What is wrong with a line, in k57ctl's words; `list` gives the bounds and
// choices the words name. In Russian (--lang ru) the window's words, with
// the range or length allowed.
std::string ProblemText(const ParameterList& list, const SettingsLine& line);
void UseRussianProblemTexts(bool russian);
bool RussianProblemTexts();
// "where:3: MicLevel: ..." on stderr for each problem line of a text.
void ListProblems(const std::string& where, const ParameterList& list,
                  const SettingsVerdict& verdict);
// Why a settings file was refused as a whole.
std::string FileProblemText(const SettingsFileVerdict& file);

}  // namespace k57::ctl
