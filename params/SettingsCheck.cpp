#include "SettingsCheck.h"

#include "Cp1251.h"
#include "Validation.h"

namespace k57 {

std::vector<SettingsProblem> CheckSettingsText(const ParameterList& list, const std::string& text,
                                               bool strict) {
    std::vector<SettingsProblem> problems;
    int number = 0;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find_first_of("\r\n", at);
        std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        ++number;
        at = end == std::string::npos            ? text.size()
             : text.compare(end, 2, "\r\n") == 0 ? end + 2
                                                 : end + 1;
        if (line.empty()) {
            continue;
        }
        size_t equals = line.find('=');
        if (equals == std::string::npos) {
            if (strict) {
                problems.push_back({number, "", "not a key=value line"});
            }
            continue;
        }
        std::string key = line.substr(0, equals);
        int index = list.IndexOf(key);
        if (index < 0) {
            if (strict) {
                problems.push_back({number, key, "no such parameter"});
            }
            continue;
        }
        if (auto refusal = ValidateValue(list.ParameterAt(index), line.substr(equals + 1))) {
            problems.push_back({number, key, cp1251::ToUtf8(refusal->value) + refusal->message});
        }
    }
    return problems;
}

}  // namespace k57
