#include "Validation.h"

#include <string_view>

#include "IntegerText.h"

namespace k57 {

namespace {

bool IsPhoneKey(const std::string& key) {
    return key.size() == 11 && key.compare(0, 10, "UserNumber") == 0 && key[10] >= '1' &&
           key[10] <= '4';
}

bool AllDigits(std::string_view text) {
    return text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::optional<SettingsProblem> ValidateString(const Parameter& p, const std::string& text) {
    // Empty leaves the setting unused: no PIN, no such owner.
    if (text.empty()) {
        return std::nullopt;
    }
    if (int64_t(text.size()) < p.min) {
        return SettingsProblem::TooShort;
    }
    if (int64_t(text.size()) > p.max) {
        return SettingsProblem::TooLong;
    }
    // The unit sends the PIN to the SIM and dials the numbers as they are.
    if (p.key == "PinCod" && !AllDigits(text)) {
        return SettingsProblem::NotPin;
    }
    if (IsPhoneKey(p.key) && (text[0] != '+' || !AllDigits(std::string_view(text).substr(1)))) {
        return SettingsProblem::NotPhoneNumber;
    }
    return std::nullopt;
}

std::optional<SettingsProblem> ValidateNumber(const Parameter& p, const std::string& text) {
    int32_t value;
    if (!k57::ParseInteger(text, value)) {
        return SettingsProblem::NotANumber;
    }
    if (value < p.min) {
        return SettingsProblem::BelowMin;
    }
    if (value > p.max) {
        return SettingsProblem::AboveMax;
    }
    return std::nullopt;
}

}  // namespace

std::optional<SettingsProblem> ValidateValue(const Parameter& parameter, const std::string& text) {
    if (parameter.type == ParameterType::Enum) {
        return std::nullopt;
    }
    // A line break would split the value's line in the settings text.
    if (text.find_first_of("\r\n") != std::string::npos) {
        return SettingsProblem::LineBreak;
    }
    return parameter.type == ParameterType::Number ? ValidateNumber(parameter, text)
                                                   : ValidateString(parameter, text);
}

bool IsChoice(const EnumValueList* items, const std::string& text) {
    if (!items) {
        return false;
    }
    for (const EnumItem& item : items->items) {
        if (std::to_string(item.value) == text) {
            return true;
        }
    }
    return false;
}

}  // namespace k57
