// k57ctl's words for settings problems, in English; the window has its own
// (params/SettingsMessages.h) for the same verdict.

#include "SettingsProblemText.h"

#include <cstdio>

#include "Cp1251.h"
#include "SettingsMessages.h"

namespace k57::ctl {

namespace {

bool gRussian = false;

std::string RussianProblemText(const Parameter* parameter, const SettingsLine& line) {
    switch (*line.problem) {
        case SettingsProblem::BelowMin:
        case SettingsProblem::AboveMax:
        case SettingsProblem::TooLong:
        case SettingsProblem::TooShort:
        case SettingsProblem::NotPhoneNumber:
            if (parameter) {
                return RefusalMessage(*parameter, *line.problem, line.value);
            }
            break;
        default:
            break;
    }
    return WindowMessage(*line.problem, line.value, line.earlierLine);
}

}  // namespace

void UseRussianProblemTexts(bool russian) {
    gRussian = russian;
}

bool RussianProblemTexts() {
    return gRussian;
}

std::string ProblemText(const ParameterList& list, const SettingsLine& line) {
    const std::string value = "\"" + cp1251::ToUtf8(line.value) + "\"";
    int index = list.IndexOf(line.key);
    const Parameter* p = index < 0 ? nullptr : &list.ParameterAt(index);
    if (gRussian) {
        return RussianProblemText(p, line);
    }
    auto bound = [&](bool max) { return std::to_string(p ? (max ? p->max : p->min) : 0); };
    switch (*line.problem) {
        case SettingsProblem::UnknownKey:
            return "no such parameter";
        case SettingsProblem::NotANumber:
            return value + " is not an integer";
        case SettingsProblem::BelowMin:
            return value + " is below the minimum " + bound(false);
        case SettingsProblem::AboveMax:
            return value + " is above the maximum " + bound(true);
        case SettingsProblem::NotAChoice: {
            std::string choices;
            const EnumValueList* items = p ? list.FindEnum(p->enumName) : nullptr;
            for (size_t i = 0; items && i < items->items.size(); ++i) {
                choices += (i ? ", " : "") + std::to_string(items->items[i].value);
            }
            return value + " is not one of the choices " + choices;
        }
        case SettingsProblem::TooLong:
            return "longer than " + bound(true) + " bytes";
        case SettingsProblem::TooShort:
            return "shorter than " + bound(false) + " bytes";
        case SettingsProblem::NotInCodePage:
            return "has characters the unit's code page lacks";
        case SettingsProblem::NotKeyValue:
            return "not a KEY=VALUE line";
        case SettingsProblem::Nul:
            return "holds a NUL byte";
        case SettingsProblem::DuplicateKey:
            return "set on line " + std::to_string(line.earlierLine) + " already";
        case SettingsProblem::LineBreak:
            return "holds a line break";
        case SettingsProblem::NotPin:
            return value + " is not four digits (a PIN is empty or four digits)";
        case SettingsProblem::NotPhoneNumber:
            return value + " is not + and digits (a phone number is empty or + and digits, " +
                   bound(false) + " to " + bound(true) + " characters in all)";
    }
    return {};
}

void ListProblems(const std::string& where, const ParameterList& list,
                  const SettingsVerdict& verdict) {
    for (const SettingsLine& line : verdict.Problems()) {
        std::string key = line.key.empty() ? "" : cp1251::ToUtf8(line.key) + ": ";
        std::fprintf(stderr, "%s:%d: %s%s\n", where.c_str(), line.number, key.c_str(),
                     ProblemText(list, line).c_str());
    }
}

std::string FileProblemText(const SettingsFileVerdict& file) {
    switch (file.problem) {
        case SettingsFile::Problem::TooLarge:
            return "larger than 1 MB, not a settings file";
        case SettingsFile::Problem::NulByte:
            return "holds a NUL byte (line " + file.detail + "), not a settings text";
        case SettingsFile::Problem::LongLine:
            return "line " + file.detail + " is longer than " +
                   std::to_string(SettingsFile::kMaxLine) + " bytes";
        default:
            return file.detail;
    }
}

}  // namespace k57::ctl
