// settings read, write and set.

#include <QJsonObject>
#include <cstdio>

#include "Commands.h"
#include "Cp1251.h"
#include "ExitCodes.h"
#include "ParameterList.h"
#include "PortMapping.h"
#include "SettingsGuard.h"
#include "SettingsProblemText.h"
#include "SettingsService.h"
#include "UnitText.h"

namespace k57::ctl {

namespace {

// The unit's settings text into `list`, kept as the unit holds it; what
// the editor would refuse is told, not dropped.
void LoadUnitSettings(const Context& context, ParameterList& list, const std::string& text) {
    SettingsVerdict verdict = SettingsService(list).LoadUnitText(text);
    if (!verdict.ok() && !context.quiet) {
        ListProblems("unit", list, verdict);
        Say(context, "the unit's settings hold invalid lines; they are kept as they are");
    }
}

// The text written and read back, journaled with the backup as the
// settings before and with its verdict.
int WriteSettings(Context& context, SettingsGuard& guard, const ParameterList& catalogue,
                  const std::string& text, const std::string& detail, const std::string& done) {
    guard.WriteSettings(*context.device, text);
    WriteCheck check = guard.Written(catalogue, detail);
    TellJournalProblem(context);
    return Verified(context, check, done);
}

}  // namespace

int SettingsRead(Context& context, bool all, const std::string& outFile) {
    ParameterList list;
    if (!LoadCatalogue(list)) {
        return kBadInput;
    }
    std::string text;
    int result = context.device->ReadSettings(text);
    Record(context, JournalOperation::ReadSettings, result, {}, std::nullopt,
           result == kReplyOk ? std::optional(text) : std::nullopt);
    if (result != kReplyOk) {
        return Failed(context, result);
    }
    LoadUnitSettings(context, list, text);
    if (!outFile.empty()) {
        std::string error;
        if (!SettingsFile::Write(outFile, list.ValuesToText(), error)) {
            return Fail("cannot write " + outFile + ": " + error, kNoJournal);
        }
        Say(context, Words("settings written to %1", "настройки сохранены в файл %1", {outFile}));
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
        Say(context, Words("every setting is at its default; --all prints them",
                           "все параметры имеют значения по умолчанию; --all выводит их"));
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
        return Fail(Words("%1 invalid line(s); nothing was written",
                          "недопустимых строк: %1; ничего не записано",
                          {std::to_string(read.verdict.Problems().size())}),
                    kBadInput);
    }
    if (read.verdict.SetsNothing() && !context.yes) {
        return Fail(file +
                        " sets no parameter: written, it would reset every setting, the PIN and "
                        "the phone numbers included, to its default; --yes writes it",
                    kBadInput);
    }
    if (dryRun) {
        Say(context, Words("%1: every line is valid", "%1: все строки допустимы", {file}));
        return kDone;
    }
    settings.LoadGoodLines(read.verdict);
    SettingsGuard guard(*context.record, JournalOperation::WriteSettings);
    int exitCode = kDone;
    if (!BackedUp(context, guard, exitCode)) {
        return exitCode;
    }
    return WriteSettings(context, guard, list, list.ValuesToText(), "from " + file,
                         Words("settings written to the unit", "настройки записаны в устройство"));
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
            std::string what =
                line.key.empty() ? assignments[size_t(line.number - 1)] : cp1251::ToUtf8(line.key);
            std::fprintf(stderr, "%s: %s\n", what.c_str(), ProblemText(list, line).c_str());
        }
        return Fail(Words("%1 invalid assignment(s); the unit was not changed",
                          "недопустимых присваиваний: %1; устройство не изменено",
                          {std::to_string(changes.Problems().size())}),
                    kBadInput);
    }
    // The settings the changes go over are the backup's: unread, there is
    // nothing to change, whatever --no-backup says.
    SettingsGuard guard(*context.record, JournalOperation::WriteSettings);
    int result = guard.ReadBackup(*context.device);
    bool kept = guard.KeepBackup();
    TellJournalProblem(context);
    if (result != kReplyOk) {
        return Failed(context, result);
    }
    if (!kept && !context.noBackup) {
        return Fail(
            "the backup could not be kept in the journal; nothing was changed; "
            "--no-backup goes ahead without one",
            kBadInput);
    }
    LoadUnitSettings(context, list, *guard.backup());
    settings.Apply(changes);
    // Lines the catalogue does not know are the unit's business: they go
    // back to it as they came.
    std::string text = list.ValuesToText() + list.UnknownLines(*guard.backup());
    return WriteSettings(context, guard, list, text,
                         std::to_string(changes.lines.size()) + " value(s) set",
                         Words("%1 setting(s) written to the unit",
                               "в устройство записаны параметры (%1)",
                               {std::to_string(changes.lines.size())}));
}

// The entry's settings back to the unit it is of, on the entry's port
// unless --port names another. The unit there says who it is before
// anything is read from it or recorded: another unit is refused, and an
// entry that names no unit is written only with --yes, to the unit named.
int Restore(Context& context, long long id) {
    ParameterList catalogue;
    if (!LoadCatalogue(catalogue)) {
        return kBadInput;
    }
    Journal& journal = context.record->journal();
    if (!journal.Available()) {
        TellJournalProblem(context);
        return Fail(journal.Status().message, kNoJournal);
    }
    std::optional<JournalEntry> entry = journal.Entry(id);
    if (journal.lastCallFailed()) {
        TellJournalProblem(context);
        return Fail("entry " + std::to_string(id) + " cannot be read from the journal", kNoJournal);
    }
    if (!entry) {
        return Fail("the journal has no entry " + std::to_string(id), kBadInput);
    }
    std::optional<std::string> snapshot = SnapshotOf(*entry);
    if (!snapshot) {
        return Fail("entry " + std::to_string(id) + " holds no settings", kBadInput);
    }
    if (context.port.empty() && !entry->port.empty()) {
        context.device->SetPortName(entry->port.c_str());
    }
    std::string port = ports::ShownName(context.device->PortName());
    std::optional<uint32_t> unit = context.record->Identify(*context.device, true).serial;
    if (!unit) {
        return Failed(context, context.device->LastFailure().result);
    }
    std::string entryName = "entry " + std::to_string(id);
    std::string unitName = "unit " + std::to_string(*unit) + " on " + port;
    if (entry->serial && *entry->serial != *unit) {
        return Fail(entryName + " is of unit " + std::to_string(*entry->serial) + ", the unit on " +
                        port + " is " + std::to_string(*unit) + "; nothing was written",
                    kBadInput);
    }
    if (!entry->serial) {
        if (!context.yes) {
            return Fail(entryName +
                            " does not say which unit its settings are of; --yes writes "
                            "them to " +
                            unitName + " all the same",
                        kBadInput);
        }
        Say(context, entryName + " does not say which unit its settings are of; writing them to " +
                         unitName + " as --yes asks");
    }
    SettingsGuard guard(*context.record, JournalOperation::Restore);
    int exitCode = kDone;
    if (!Agreed(context,
                "Write the settings of " + entryName + " (" + JournalTimeText(entry->timeMs) +
                    ") to " + unitName + "?",
                exitCode) ||
        !BackedUp(context, guard, exitCode)) {
        return exitCode;
    }
    // The backup asked again: the unit must not have changed meanwhile.
    if (guard.unitSerial() != unit) {
        return Fail(
            "the unit on " + port + " changed while its backup was read; nothing was written",
            kBadInput);
    }
    guard.RestoresEntry(id);
    return WriteSettings(context, guard, catalogue, *snapshot, {},
                         Words("settings of %1 written to %2", "настройки %1 записаны в %2",
                               {entryName, unitName}));
}

}  // namespace k57::ctl
