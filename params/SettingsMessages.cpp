#include "SettingsMessages.h"

#include "Cp1251.h"

namespace k57 {

std::string WindowMessage(SettingsProblem problem, const std::string& value, int earlierLine) {
    const std::string shown = cp1251::ToUtf8(value);
    switch (problem) {
        case SettingsProblem::UnknownKey:
            return "нет такого параметра";
        case SettingsProblem::NotANumber:
            return shown + " - не является целым цислом";
        case SettingsProblem::BelowMin:
            return shown + " - маловато будет.";
        case SettingsProblem::AboveMax:
            return shown + " - многовато будет.";
        case SettingsProblem::NotAChoice:
            return shown + " - нет такого варианта";
        case SettingsProblem::TooLong:
            return "Превышена длинна текста";
        case SettingsProblem::TooShort:
            return "Маленькая длинна текста";
        case SettingsProblem::NotInCodePage:
            return "Значение содержит символы, которых нет в кодировке устройства (Windows-1251).";
        case SettingsProblem::NotKeyValue:
            return "строка не вида параметр=значение";
        case SettingsProblem::Nul:
            return "в строке нулевой байт";
        case SettingsProblem::DuplicateKey:
            return "параметр уже задан в строке " + std::to_string(earlierLine);
        case SettingsProblem::LineBreak:
            return "Значение не может содержать перевод строки";
    }
    return {};
}

namespace {

std::string AllowedRange(const Parameter& p, SettingsProblem problem) {
    const std::string min = std::to_string(p.min), max = std::to_string(p.max);
    switch (problem) {
        case SettingsProblem::NotANumber:
        case SettingsProblem::BelowMin:
        case SettingsProblem::AboveMax:
            return "(допустимо от " + min + " до " + max + ")";
        case SettingsProblem::TooShort:
        case SettingsProblem::TooLong:
            // An empty text is always accepted, so a minimum of 1 says nothing.
            if (p.min == p.max) {
                return "(допустимая длина " + max + ")";
            }
            if (p.min <= 1) {
                return "(допустимая длина до " + max + ")";
            }
            return "(допустимая длина от " + min + " до " + max + ")";
        default:
            return {};
    }
}

}  // namespace

std::string RefusalMessage(const Parameter& parameter, SettingsProblem problem,
                           const std::string& value) {
    std::string message = WindowMessage(problem, value);
    std::string range = AllowedRange(parameter, problem);
    return range.empty() ? message : message + " " + range;
}

std::string OffListChoice(const std::string& value) {
    return value.empty() ? "(не задано)" : cp1251::ToUtf8(value) + " (нет в списке)";
}

}  // namespace k57
