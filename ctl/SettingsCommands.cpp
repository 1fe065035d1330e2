// settings read, write and set.

#include <QJsonObject>
#include <cstdio>

#include "Commands.h"
#include "Cp1251.h"
#include "ExitCodes.h"
#include "ParameterList.h"
#include "SettingsCheck.h"
#include "SettingsFile.h"
#include "UnitText.h"
#include "Validation.h"

namespace k57::ctl {

namespace {

int ReportProblems(const std::string& where, const std::vector<SettingsProblem>& problems) {
    for (const SettingsProblem& p : problems) {
        std::fprintf(stderr, "%s:%d: %s: %s\n", where.c_str(), p.line,
                     cp1251::ToUtf8(p.key).c_str(), p.reason.c_str());
    }
    return Fail(std::to_string(problems.size()) + " invalid line(s); nothing was written",
                kBadInput);
}

}  // namespace

int SettingsRead(Context& context, bool all, const std::string& outFile) {
    ParameterList list;
    if (!LoadCatalogue(list)) {
        return kBadInput;
    }
    std::string text;
    int result = context.device->ReadSettings(text);
    if (result != kReplyOk) {
        return Failed(context, result);
    }
    list.SetValuesFromText(text);
    if (!outFile.empty()) {
        std::string error;
        if (!SettingsFile::Write(outFile, list.ValuesToText(), error)) {
            return Fail("cannot write " + outFile + ": " + error, kBadInput);
        }
        Say(context, "settings written to " + outFile);
    }
    QJsonObject values;
    for (int i = 0; i < list.ParameterCount(); ++i) {
        const Parameter& p = list.ParameterAt(i);
        if (!all && p.IsDefault()) {
            continue;
        }
        if (context.json) {
            values[FromUnit(p.key)] = FromUnit(p.value);
        } else if (outFile.empty()) {
            std::printf("%s=%s\n", cp1251::ToUtf8(p.key).c_str(), cp1251::ToUtf8(p.value).c_str());
        }
    }
    if (context.json) {
        PrintJson({{"settings", values}});
    }
    return kDone;
}

int SettingsWrite(Context& context, const std::string& file, bool dryRun) {
    ParameterList list;
    if (!LoadCatalogue(list)) {
        return kBadInput;
    }
    std::string text, detail;
    SettingsFile::Problem problem;
    if (!SettingsFile::Read(file, text, problem, detail)) {
        switch (problem) {
            case SettingsFile::Problem::TooLarge:
                detail = "larger than 1 MB, not a settings file";
                break;
            case SettingsFile::Problem::NulByte:
                detail = "holds a NUL byte, not a settings text";
                break;
            case SettingsFile::Problem::LongLine:
                detail = "line " + detail + " is longer than " +
                         std::to_string(SettingsFile::kMaxLine) + " bytes";
                break;
            default:
                break;
        }
        return Fail("cannot read " + file + ": " + detail, kBadInput);
    }
    std::vector<SettingsProblem> problems = CheckSettingsText(list, text, true);
    if (!problems.empty()) {
        return ReportProblems(file, problems);
    }
    if (dryRun) {
        Say(context, file + ": every line is valid");
        return kDone;
    }
    list.SetValuesFromText(text);
    int result = context.device->WriteSettings(list.ValuesToText());
    if (result != kReplyOk) {
        return Failed(context, result);
    }
    Say(context, "settings written to the unit");
    return kDone;
}

int SettingsSet(Context& context, const std::vector<std::string>& assignments) {
    ParameterList list;
    if (!LoadCatalogue(list)) {
        return kBadInput;
    }
    // Every assignment is checked before the unit is asked anything.
    std::vector<std::pair<std::string, std::string>> changes;
    int bad = 0;
    for (const std::string& assignment : assignments) {
        size_t equals = assignment.find('=');
        std::optional<std::string> bytes = cp1251::FromUtf8(assignment);
        std::string key = assignment.substr(0, equals);
        if (equals == std::string::npos || !bytes) {
            std::fprintf(stderr, "%s: %s\n", assignment.c_str(),
                         !bytes ? "has characters the unit's code page lacks" : "not KEY=VALUE");
            ++bad;
            continue;
        }
        std::string value = bytes->substr(bytes->find('=') + 1);
        int index = list.IndexOf(key);
        if (index < 0) {
            std::fprintf(stderr, "%s: no such parameter\n", key.c_str());
            ++bad;
        } else if (auto refusal = ValidateValue(list.ParameterAt(index), value)) {
            std::fprintf(stderr, "%s: %s%s\n", key.c_str(), cp1251::ToUtf8(refusal->value).c_str(),
                         refusal->message.c_str());
            ++bad;
        } else {
            changes.emplace_back(key, value);
        }
    }
    if (bad > 0) {
        return Fail(std::to_string(bad) + " invalid assignment(s); the unit was not changed",
                    kBadInput);
    }
    std::string text;
    int result = context.device->ReadSettings(text);
    if (result != kReplyOk) {
        return Failed(context, result);
    }
    list.SetValuesFromText(text);
    for (const auto& [key, value] : changes) {
        list.SetValue(key, value);
    }
    result = context.device->WriteSettings(list.ValuesToText());
    if (result != kReplyOk) {
        return Failed(context, result);
    }
    Say(context, std::to_string(changes.size()) + " setting(s) written to the unit");
    return kDone;
}

}  // namespace k57::ctl
