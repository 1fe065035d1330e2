#include "SettingsMessages.h"

#include "Cp1251.h"
#include "ProgramText.h"
#include "TextArguments.h"

namespace k57 {

std::string WindowMessage(SettingsProblem problem, const std::string& value, int earlierLine) {
    const std::string shown = cp1251::ToUtf8(value);
    switch (problem) {
        case SettingsProblem::UnknownKey:
            return K57_TR("SettingsMessages", "нет такого параметра");
        case SettingsProblem::NotANumber:
            return WithArguments(K57_TR("SettingsMessages", "%1 - не является целым цислом"),
                                 {shown});
        case SettingsProblem::BelowMin:
            return WithArguments(K57_TR("SettingsMessages", "%1 - маловато будет."), {shown});
        case SettingsProblem::AboveMax:
            return WithArguments(K57_TR("SettingsMessages", "%1 - многовато будет."), {shown});
        case SettingsProblem::NotAChoice:
            return WithArguments(K57_TR("SettingsMessages", "%1 - нет такого варианта"), {shown});
        case SettingsProblem::TooLong:
            return K57_TR("SettingsMessages", "Превышена длинна текста");
        case SettingsProblem::TooShort:
            return K57_TR("SettingsMessages", "Маленькая длинна текста");
        case SettingsProblem::NotInCodePage:
            return K57_TR("SettingsMessages",
                          "Значение содержит символы, которых нет в кодировке устройства "
                          "(Windows-1251).");
        case SettingsProblem::NotKeyValue:
            return K57_TR("SettingsMessages", "строка не вида параметр=значение");
        case SettingsProblem::Nul:
            return K57_TR("SettingsMessages", "в строке нулевой байт");
        case SettingsProblem::DuplicateKey:
            return WithArguments(K57_TR("SettingsMessages", "параметр уже задан в строке %1"),
                                 {std::to_string(earlierLine)});
        case SettingsProblem::LineBreak:
            return K57_TR("SettingsMessages", "Значение не может содержать перевод строки");
        case SettingsProblem::NotPin:
            return WithArguments(K57_TR("SettingsMessages", "%1 - PIN-код: четыре цифры"), {shown});
        case SettingsProblem::NotPhoneNumber:
            return WithArguments(K57_TR("SettingsMessages", "%1 - номер телефона: + и цифры"),
                                 {shown});
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
            return WithArguments(K57_TR("SettingsMessages", "(допустимо от %1 до %2)"), {min, max});
        case SettingsProblem::TooShort:
        case SettingsProblem::TooLong:
        case SettingsProblem::NotPhoneNumber:
            // An empty text is always accepted, so a minimum of 1 says nothing.
            if (p.min == p.max) {
                return WithArguments(K57_TR("SettingsMessages", "(допустимая длина %1)"), {max});
            }
            if (p.min <= 1) {
                return WithArguments(K57_TR("SettingsMessages", "(допустимая длина до %1)"), {max});
            }
            return WithArguments(K57_TR("SettingsMessages", "(допустимая длина от %1 до %2)"),
                                 {min, max});
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
    return value.empty() ? K57_TR("SettingsMessages", "(не задано)")
                         : WithArguments(K57_TR("SettingsMessages", "%1 (нет в списке)"),
                                         {cp1251::ToUtf8(value)});
}

}  // namespace k57
