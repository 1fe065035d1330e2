#include "Validation.h"

#include "IntegerText.h"

namespace k57 {

namespace {

std::optional<ValidationMessage> ValidateString(const Parameter& p, const std::string& text) {
    if (text.empty()) {
        return std::nullopt;
    }
    if (int64_t(text.size()) < p.min) {
        return ValidationMessage{"", "Маленькая длинна текста"};
    }
    if (int64_t(text.size()) > p.max) {
        return ValidationMessage{"", "Превышена длинна текста"};
    }
    return std::nullopt;
}

std::optional<ValidationMessage> ValidateNumber(const Parameter& p, const std::string& text) {
    int32_t value;
    if (!k57::ParseInteger(text, value)) {
        return ValidationMessage{text, " - не является целым цислом"};
    }
    if (value < p.min) {
        return ValidationMessage{text, " - маловато будет."};
    }
    if (value > p.max) {
        return ValidationMessage{text, " - многовато будет."};
    }
    return std::nullopt;
}

}  // namespace

std::optional<ValidationMessage> ValidateValue(const Parameter& parameter,
                                               const std::string& text) {
    if (parameter.type == ParameterType::Enum) {
        return std::nullopt;
    }
    // A line break would split the value's line in the settings text.
    if (text.find_first_of("\r\n") != std::string::npos) {
        return ValidationMessage{"", "Значение не может содержать перевод строки"};
    }
    return parameter.type == ParameterType::Number ? ValidateNumber(parameter, text)
                                                   : ValidateString(parameter, text);
}

}  // namespace k57
