#include "SettingsService.h"

#include <algorithm>

#include "Cp1251.h"
#include "SettingsFileText.h"
#include "SettingsLines.h"
#include "Validation.h"

namespace k57 {

void SettingsService::Judge(SettingsLine& line, std::map<std::string, int>& seen) const {
    int index = list_.IndexOf(line.key);
    if (index < 0) {
        line.problem = SettingsProblem::UnknownKey;
        return;
    }
    const Parameter& parameter = list_.ParameterAt(index);
    line.problem = ValidateValue(parameter, line.value);
    // The editor offers an enumeration's items only; a text must hold one
    // of their numbers too, written as the editor writes it.
    if (!line.problem && parameter.type == ParameterType::Enum &&
        !IsChoice(list_.FindEnum(parameter.enumName), line.value)) {
        line.problem = SettingsProblem::NotAChoice;
    }
    if (line.problem) {
        return;
    }
    auto [earlier, first] = seen.emplace(line.key, line.number);
    if (!first) {
        line.problem = SettingsProblem::DuplicateKey;
        line.earlierLine = earlier->second;
    }
}

SettingsVerdict SettingsService::Check(std::string_view text) const {
    return Check(text, {});
}

SettingsVerdict SettingsService::Check(std::string_view text,
                                       const std::vector<int>& outsideCodePage) const {
    SettingsVerdict verdict;
    std::map<std::string, int> seen;
    for (const TextLine& textLine : SplitLines(text)) {
        if (textLine.text.empty()) {
            continue;
        }
        SettingsLine line;
        line.number = textLine.number;
        size_t equals = textLine.text.find('=');
        line.key = std::string(textLine.text.substr(0, equals));
        if (equals != std::string_view::npos) {
            line.value = std::string(textLine.text.substr(equals + 1));
        }
        if (textLine.text.find('\0') != std::string_view::npos) {
            line.problem = SettingsProblem::Nul;
        } else if (std::find(outsideCodePage.begin(), outsideCodePage.end(), line.number) !=
                   outsideCodePage.end()) {
            // Never replaced by "?": the unit would store the wrong text.
            line.problem = SettingsProblem::NotInCodePage;
        } else if (equals == std::string_view::npos) {
            line.key.clear();
            line.problem = SettingsProblem::NotKeyValue;
        } else {
            Judge(line, seen);
        }
        verdict.lines.push_back(std::move(line));
    }
    return verdict;
}

SettingsVerdict SettingsService::CheckAssignments(const std::vector<std::string>& utf8) const {
    SettingsVerdict verdict;
    std::map<std::string, int> seen;
    int number = 0;
    for (const std::string& assignment : utf8) {
        SettingsLine line;
        line.number = ++number;
        size_t equals = assignment.find('=');
        std::optional<std::string> key = cp1251::FromUtf8(assignment.substr(0, equals));
        std::optional<std::string> value =
            cp1251::FromUtf8(equals == std::string::npos ? "" : assignment.substr(equals + 1));
        line.key = key.value_or("");
        line.value = value.value_or("");
        if (equals == std::string::npos) {
            line.key.clear();
            line.problem = SettingsProblem::NotKeyValue;
        } else if (!key) {
            line.problem = SettingsProblem::NotInCodePage;
        } else if (list_.IndexOf(line.key) < 0) {
            line.problem = SettingsProblem::UnknownKey;
        } else if (!value) {
            // Never replaced by "?": the unit would store the wrong text.
            line.problem = SettingsProblem::NotInCodePage;
        } else {
            Judge(line, seen);
        }
        verdict.lines.push_back(std::move(line));
    }
    return verdict;
}

std::optional<SettingsProblem> SettingsService::CheckValue(const std::string& key,
                                                           const std::string& value) const {
    SettingsLine line;
    line.key = key;
    line.value = value;
    std::map<std::string, int> seen;
    Judge(line, seen);
    return line.problem;
}

SettingsFileVerdict SettingsService::ReadFile(const std::string& path) const {
    SettingsFileVerdict file;
    std::string bytes;
    if (SettingsFile::Read(path, bytes, file.problem, file.detail)) {
        SettingsFileText text = ToUnitText(bytes);
        file.verdict = Check(text.text, text.outsideCodePage);
    }
    return file;
}

SettingsVerdict SettingsService::LoadUnitText(const std::string& text) {
    list_.SetValuesFromText(text);
    return Check(UntilNul(text));
}

void SettingsService::LoadGoodLines(const SettingsVerdict& verdict) {
    list_.ResetToDefaults();
    Apply(verdict);
}

void SettingsService::Apply(const SettingsVerdict& verdict) {
    for (const SettingsLine& line : verdict.lines) {
        if (!line.problem) {
            list_.SetValue(line.key, line.value);
        }
    }
}

}  // namespace k57
