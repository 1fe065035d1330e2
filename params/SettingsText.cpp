// The settings text: key=value lines, applied over the defaults and
// produced for the values that differ from them.

#include "ParameterList.h"
#include "SettingsLines.h"

void ParameterList::SetValuesFromText(const std::string& text) {
    ResetToDefaults();
    for (const k57::TextLine& line : k57::SplitLines(k57::UntilNul(text))) {
        size_t equals = line.text.find('=');
        if (equals != std::string_view::npos) {
            SetValue(std::string(line.text.substr(0, equals)),
                     std::string(line.text.substr(equals + 1)));
        }
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

std::string ParameterList::UnknownLines(const std::string& text) const {
    std::string lines;
    for (const k57::TextLine& line : k57::SplitLines(k57::UntilNul(text))) {
        std::string key(line.text.substr(0, line.text.find('=')));
        if (!line.text.empty() && IndexOf(key) < 0) {
            lines += std::string(line.text) + "\n";
        }
    }
    return lines;
}
