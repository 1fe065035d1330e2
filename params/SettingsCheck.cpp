#include "SettingsCheck.h"

#include "Cp1251.h"
#include "Validation.h"

namespace k57 {

namespace {

// Calls `visit(number, line, lineEnd)` for each line, numbered from 1.
template <typename Visit>
void ForEachLine(const std::string& text, Visit visit) {
    int number = 0;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find_first_of("\r\n", at);
        if (end == std::string::npos) {
            end = text.size();
        }
        size_t next = text.compare(end, 2, "\r\n") == 0 ? end + 2 : std::min(end + 1, text.size());
        visit(++number, text.substr(at, end - at), text.substr(end, next - end));
        at = next;
    }
}

}  // namespace

std::vector<SettingsProblem> CheckSettingsText(const ParameterList& list, const std::string& text,
                                               bool strict) {
    std::vector<SettingsProblem> problems;
    ForEachLine(text, [&](int number, const std::string& line, const std::string&) {
        if (line.empty()) {
            return;
        }
        size_t equals = line.find('=');
        if (equals == std::string::npos) {
            if (strict) {
                problems.push_back({number, "", "not a key=value line"});
            }
            return;
        }
        std::string key = line.substr(0, equals);
        int index = list.IndexOf(key);
        if (index < 0) {
            if (strict) {
                problems.push_back({number, key, "no such parameter"});
            }
            return;
        }
        if (auto refusal = ValidateValue(list.ParameterAt(index), line.substr(equals + 1))) {
            problems.push_back({number, key, cp1251::ToUtf8(refusal->value) + refusal->message});
        }
    });
    return problems;
}

std::string WithoutProblemLines(const std::string& text,
                                const std::vector<SettingsProblem>& problems) {
    std::string kept;
    size_t p = 0;
    ForEachLine(text, [&](int number, const std::string& line, const std::string& end) {
        while (p < problems.size() && problems[p].line < number) {
            ++p;
        }
        if (p == problems.size() || problems[p].line != number) {
            kept += line + end;
        }
    });
    return kept;
}

}  // namespace k57
