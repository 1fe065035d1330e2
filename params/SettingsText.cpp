// The settings text: key=value lines, applied over the defaults and
// produced for the values that differ from them.

#include "ParameterList.h"

void ParameterList::SetValuesFromText(const std::string& whole) {
    ResetToDefaults();
    const std::string text = whole.substr(0, whole.find('\0'));  // a C text ends at NUL
    const std::string lineEnds = "\r\n";
    size_t at = 0;
    while ((at = text.find_first_not_of(lineEnds, at)) != std::string::npos) {
        size_t end = text.find_first_of(lineEnds, at);
        std::string line = text.substr(at, end - at);
        size_t equals = line.find('=');
        if (equals != std::string::npos) {
            SetValue(line.substr(0, equals), line.substr(equals + 1));
        }
        if (end == std::string::npos) {
            break;
        }
        at = end;
    }
}

std::string ParameterList::ValuesToText() const {
    std::string text;
    for (const Parameter& p : parameters_) {
        if (!p.IsDefault()) {
            text += p.key + "=" + p.value + "\n";
        }
    }
    return text;
}
