#pragma once

#include <optional>
#include <string>

#include "Parameter.h"

namespace k57 {

// Why a typed value was refused: the typed text itself (Windows-1251 bytes,
// empty for messages that do not repeat it) followed by a UTF-8 message.
struct ValidationMessage {
    std::string value;
    std::string message;
};

// Checks a text typed for `parameter`; nothing when it is acceptable.
std::optional<ValidationMessage> ValidateValue(const Parameter& parameter, const std::string& text);

}  // namespace k57
