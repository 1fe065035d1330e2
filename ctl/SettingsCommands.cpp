// settings read, write and set.

#include <QJsonObject>
#include <cstdio>

#include "Commands.h"
#include "Cp1251.h"
#include "ExitCodes.h"
#include "ParameterList.h"
#include "SettingsProblemText.h"
#include "SettingsService.h"
#include "UnitText.h"

namespace k57::ctl {

namespace {

// "where:3: MicLevel: ..." for each problem line of a text.
void ListProblems(const std::string& where, const ParameterList& list,
                  const SettingsVerdict& verdict) {
    for (const SettingsLine& line : verdict.Problems()) {
        std::string key = line.key.empty() ? "" : cp1251::ToUtf8(line.key) + ": ";
        std::fprintf(stderr, "%s:%d: %s%s\n", where.c_str(), line.number, key.c_str(),
                     ProblemText(list, line).c_str());
    }
}

// The unit's settings into `list`, kept as the unit holds them; what the
// editor would refuse is told, not dropped.
int ReadUnitSettings(Context& context, ParameterList& list) {
    std::string text;
    int result = context.device->ReadSettings(text);
    if (result != kReplyOk) {
        return Failed(context, result);
    }
    SettingsVerdict verdict = SettingsService(list).LoadUnitText(text);
    if (!verdict.ok() && !context.quiet) {
        ListProblems("unit", list, verdict);
        Say(context, "the unit's settings hold invalid lines; they are kept as they are");
    }
    return kDone;
}

}  // namespace

int SettingsRead(Context& context, bool all, const std::string& outFile) {
    ParameterList list;
    if (!LoadCatalogue(list)) {
        return kBadInput;
    }
    if (int code = ReadUnitSettings(context, list); code != kDone) {
        return code;
    }
    if (!outFile.empty()) {
        std::string error;
        if (!SettingsFile::Write(outFile, list.ValuesToText(), error)) {
            return Fail("cannot write " + outFile + ": " + error, kBadInput);
        }
        Say(context, "settings written to " + outFile);
    }
    QJsonObject values;
    int shown = 0;
    for (int i = 0; i < list.ParameterCount(); ++i) {
        const Parameter& p = list.ParameterAt(i);
        if (!all && p.IsDefault()) {
            continue;
        }
        ++shown;
        if (context.json) {
            values[FromUnit(p.key)] = FromUnit(p.value);
        } else if (outFile.empty()) {
            std::printf("%s=%s\n", cp1251::ToUtf8(p.key).c_str(), cp1251::ToUtf8(p.value).c_str());
        }
    }
    if (context.json) {
        PrintJson({{"settings", values}});
    } else if (shown == 0 && outFile.empty()) {
        Say(context, "every setting is at its default; --all prints them");
    }
    return kDone;
}

int SettingsWrite(Context& context, const std::string& file, bool dryRun) {
    ParameterList list;
    if (!LoadCatalogue(list)) {
        return kBadInput;
    }
    SettingsService settings(list);
    SettingsFileVerdict read = settings.ReadFile(file);
    if (!read.readable()) {
        return Fail("cannot read " + file + ": " + FileProblemText(read), kBadInput);
    }
    if (!read.verdict.ok()) {
        ListProblems(file, list, read.verdict);
        return Fail(std::to_string(read.verdict.Problems().size()) +
                        " invalid line(s); nothing was written",
                    kBadInput);
    }
    if (dryRun) {
        Say(context, file + ": every line is valid");
        return kDone;
    }
    settings.LoadGoodLines(read.verdict);
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
    SettingsService settings(list);
    SettingsVerdict changes = settings.CheckAssignments(assignments);
    if (!changes.ok()) {
        for (const SettingsLine& line : changes.Problems()) {
            std::string what = line.key.empty() ? assignments[size_t(line.number - 1)]
                                                : cp1251::ToUtf8(line.key);
            std::fprintf(stderr, "%s: %s\n", what.c_str(), ProblemText(list, line).c_str());
        }
        return Fail(std::to_string(changes.Problems().size()) +
                        " invalid assignment(s); the unit was not changed",
                    kBadInput);
    }
    if (int code = ReadUnitSettings(context, list); code != kDone) {
        return code;
    }
    settings.Apply(changes);
    int result = context.device->WriteSettings(list.ValuesToText());
    if (result != kReplyOk) {
        return Failed(context, result);
    }
    Say(context, std::to_string(changes.lines.size()) + " setting(s) written to the unit");
    return kDone;
}

}  // namespace k57::ctl
