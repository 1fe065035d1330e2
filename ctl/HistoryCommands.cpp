// history: the service journal, read only.

#include <QJsonArray>
#include <QJsonObject>
#include <algorithm>
#include <cstdio>

#include "Commands.h"
#include "Cp1251.h"
#include "ExitCodes.h"
#include "Journal.h"
#include "JournalWords.h"
#include "ParameterList.h"
#include "SettingsDiff.h"
#include "SettingsMask.h"
#include "SettingsProblemText.h"
#include "UnitText.h"

namespace k57::ctl {

namespace {

// The journal's problem, told once, as the exit code: a damaged journal
// set aside leaves a new, empty one, which must not pass for the history.
int JournalFailure(Journal& journal) {
    std::string problem = journal.TakeProblem();
    return Fail(problem.empty() ? journal.Status().message : problem, kNoJournal);
}

// The process's journal, or a message and false: one that cannot be had, or
// that was found damaged and set aside.
Journal* OpenJournal(Context& context, int& exitCode) {
    Journal& journal = context.record->journal();
    if (!journal.Available() || !journal.Status().damagedPath.empty()) {
        exitCode = JournalFailure(journal);
        return nullptr;
    }
    return &journal;
}

std::string Utf8(const std::string& unitText) {
    return cp1251::ToUtf8(unitText);
}

std::optional<std::string> Shown(const std::optional<std::string>& settings, bool reveal) {
    if (!settings) {
        return std::nullopt;
    }
    return Utf8(reveal ? *settings : MaskSettings(*settings));
}

std::string Serial(const JournalEntry& entry) {
    return entry.serial ? std::to_string(*entry.serial) : "-";
}

// An entry as the text output tells it: the PC's local time, and in Russian
// (--lang ru) the window's words; in English the stored words are English
// already. --json keeps the stored codes and UTC.
struct Told {
    std::string time, operation, result, frontEnd, detail;
};

Told Tell(const JournalEntry& entry) {
    Told told{LocalTimeText(entry.timeMs).toStdString(), JournalText(entry.operation),
              JournalText(entry.result), JournalText(entry.frontEnd), entry.detail};
    if (RussianProblemTexts()) {
        told.operation = OperationWords(entry.operation).toStdString();
        told.result = ResultWords(entry.result).toStdString();
        told.frontEnd = FrontEndWords(entry.frontEnd).toStdString();
        told.detail = DetailWords(entry.detail).toStdString();
    }
    return told;
}

// Padded to `width` characters, not bytes: Russian words take two bytes a
// letter.
std::string Column(const std::string& text, int width) {
    return QString::fromStdString(text).leftJustified(width).toStdString();
}

QJsonValue Json(const std::optional<std::string>& text) {
    return text ? QJsonValue(QString::fromStdString(*text)) : QJsonValue();
}

QJsonObject Json(const JournalEntry& entry) {
    return {{"id", entry.id},
            {"time", QString::fromStdString(JournalTimeText(entry.timeMs))},
            {"serial", entry.serial ? QJsonValue(qint64(*entry.serial)) : QJsonValue()},
            {"type", FromUnit(entry.unitType)},
            {"firmware", FromUnit(entry.firmware)},
            {"operation", JournalText(entry.operation)},
            {"port", QString::fromStdString(entry.port)},
            {"result", JournalText(entry.result)},
            {"detail", QString::fromStdString(entry.detail)},
            {"tool", QString::fromStdString(entry.toolVersion)},
            {"frontEnd", JournalText(entry.frontEnd)},
            {"uuid", QString::fromStdString(entry.uuid)},
            {"pc", QString::fromStdString(entry.pc)},
            {"user", QString::fromStdString(entry.user)},
            {"fromServer", entry.pulled}};
}

int UnitsList(const Context& context, Journal& journal) {
    std::vector<UnitSummary> units = journal.Units();
    if (journal.lastCallFailed()) {
        return JournalFailure(journal);
    }
    if (context.json) {
        QJsonArray list;
        for (const UnitSummary& unit : units) {
            list.append(
                QJsonObject{{"serial", qint64(unit.serial)},
                            {"type", FromUnit(unit.unitType)},
                            {"firmware", FromUnit(unit.firmware)},
                            {"lastSeen", QString::fromStdString(JournalTimeText(unit.lastSeenMs))},
                            {"operations", unit.operations}});
        }
        PrintJson({{"units", list}});
        return kDone;
    }
    for (const UnitSummary& unit : units) {
        std::printf("%-10u  %-12s  %-10s  last seen %s  %lld operation(s)\n", unit.serial,
                    Utf8(unit.unitType).c_str(), Utf8(unit.firmware).c_str(),
                    LocalTimeText(unit.lastSeenMs).toStdString().c_str(), unit.operations);
    }
    Say(context, std::to_string(units.size()) + " unit(s) in " + journal.Status().path);
    return kDone;
}

int Timeline(const Context& context, Journal& journal, uint32_t serial) {
    std::vector<JournalEntry> entries = journal.Timeline(serial);
    if (journal.lastCallFailed()) {
        return JournalFailure(journal);
    }
    if (entries.empty()) {
        return Fail("the journal holds nothing about unit " + std::to_string(serial), kBadInput);
    }
    if (context.json) {
        QJsonArray list;
        for (const JournalEntry& entry : entries) {
            list.append(Json(entry));
        }
        PrintJson({{"serial", qint64(serial)}, {"entries", list}});
        return kDone;
    }
    // The columns as wide as the English words' longest, or the words'.
    std::vector<Told> told;
    int widths[3] = {15, 16, 6};
    for (const JournalEntry& entry : entries) {
        told.push_back(Tell(entry));
        const std::string* words[3] = {&told.back().operation, &told.back().result,
                                       &told.back().frontEnd};
        for (int i = 0; i < 3; ++i) {
            widths[i] = std::max(widths[i], int(QString::fromStdString(*words[i]).size()));
        }
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        const JournalEntry& entry = entries[i];
        // Another PC's entry says which: the workshop's record of the unit.
        std::string from = entry.pulled ? "  [at " + entry.pc + "]" : std::string();
        std::printf("%-6lld  %s  %s  %s  %-8s  %s  %s%s\n", entry.id, told[i].time.c_str(),
                    Column(told[i].operation, widths[0]).c_str(),
                    Column(told[i].result, widths[1]).c_str(), entry.port.c_str(),
                    Column(told[i].frontEnd, widths[2]).c_str(), told[i].detail.c_str(),
                    from.c_str());
    }
    return kDone;
}

std::optional<JournalEntry> FindEntry(Journal& journal, long long id, int& exitCode) {
    std::optional<JournalEntry> entry = journal.Entry(id);
    if (journal.lastCallFailed()) {
        exitCode = JournalFailure(journal);
    } else if (!entry) {
        exitCode = Fail("the journal has no entry " + std::to_string(id), kBadInput);
    }
    return entry;
}

}  // namespace

int History(Context& context, std::optional<uint32_t> serial) {
    int exitCode = kDone;
    Journal* journal = OpenJournal(context, exitCode);
    if (!journal) {
        return exitCode;
    }
    return serial ? Timeline(context, *journal, *serial) : UnitsList(context, *journal);
}

int HistoryShow(Context& context, long long id, bool reveal) {
    int exitCode = kDone;
    Journal* journal = OpenJournal(context, exitCode);
    if (!journal) {
        return exitCode;
    }
    std::optional<JournalEntry> entry = FindEntry(*journal, id, exitCode);
    if (!entry) {
        return exitCode;
    }
    std::optional<std::string> before = Shown(entry->before, reveal);
    std::optional<std::string> after = Shown(entry->after, reveal);
    if (context.json) {
        QJsonObject json = Json(*entry);
        json["settingsBefore"] = Json(before);
        json["settingsAfter"] = Json(after);
        PrintJson(json);
        return kDone;
    }
    const Told told = Tell(*entry);
    std::printf(
        "id: %lld\ntime: %s\nserial: %s\ntype: %s\nfirmware: %s\noperation: %s\n"
        "port: %s\nresult: %s\ndetail: %s\ntool: %s\nfront end: %s\npc: %s%s\nuser: %s\n",
        entry->id, told.time.c_str(), Serial(*entry).c_str(), Utf8(entry->unitType).c_str(),
        Utf8(entry->firmware).c_str(), told.operation.c_str(), entry->port.c_str(),
        told.result.c_str(), told.detail.c_str(), entry->toolVersion.c_str(), told.frontEnd.c_str(),
        entry->pc.c_str(), entry->pulled ? " (from the workshop's server)" : "",
        entry->user.c_str());
    for (auto [title, text] : {std::pair{"settings before", &before}, {"settings after", &after}}) {
        if (*text) {
            std::printf("%s:\n%s%s", title, text->value().c_str(),
                        text->value().empty() || text->value().back() == '\n' ? "" : "\n");
        }
    }
    return kDone;
}

int HistoryDiff(Context& context, const std::vector<long long>& ids, bool reveal) {
    int exitCode = kDone;
    Journal* journal = OpenJournal(context, exitCode);
    if (!journal) {
        return exitCode;
    }
    // Two entries: the settings each left behind (after, or else before).
    // One entry: its settings before and after.
    std::optional<std::string> texts[2];
    for (size_t i = 0; i < ids.size() && i < 2; ++i) {
        std::optional<JournalEntry> entry = FindEntry(*journal, ids[i], exitCode);
        if (!entry) {
            return exitCode;
        }
        if (ids.size() == 1) {
            texts[0] = entry->before;
            texts[1] = entry->after;
        } else {
            texts[i] = entry->after ? entry->after : entry->before;
        }
        if (!texts[i] || (ids.size() == 1 && !texts[1])) {
            return Fail("entry " + std::to_string(ids[i]) + " holds no settings" +
                            (ids.size() == 1 ? " before and after" : ""),
                        kBadInput);
        }
    }
    ParameterList catalogue;
    if (!LoadCatalogue(catalogue)) {
        return kBadInput;
    }
    std::vector<SettingDifference> differences = DiffSettings(catalogue, *texts[0], *texts[1]);
    if (!reveal) {
        MaskDifferences(differences);
    }
    if (context.json) {
        QJsonArray list;
        for (const SettingDifference& d : differences) {
            list.append(QJsonObject{{"key", FromUnit(d.key)},
                                    {"name", FromUnit(d.name)},
                                    {"before", FromUnit(d.before)},
                                    {"after", FromUnit(d.after)}});
        }
        PrintJson({{"differences", list}});
        return kDone;
    }
    for (const SettingDifference& d : differences) {
        std::printf("%s (%s): %s -> %s\n", Utf8(d.name).c_str(), Utf8(d.key).c_str(),
                    Utf8(d.before).c_str(), Utf8(d.after).c_str());
    }
    Say(context, std::to_string(differences.size()) + " difference(s)");
    return kDone;
}

int HistoryExport(Context& context, const std::string& file, bool reveal) {
    int exitCode = kDone;
    Journal* journal = OpenJournal(context, exitCode);
    if (!journal) {
        return exitCode;
    }
    std::string error;
    if (!journal->ExportCsv(file, reveal, error)) {
        // Told once: the journal's own words, or the file's.
        return journal->lastCallFailed() ? JournalFailure(*journal) : Fail(error, kNoJournal);
    }
    Say(context, std::string("journal written to ") + file +
                     (reveal ? "" : " (PIN and phone numbers masked; --reveal shows them)"));
    return kDone;
}

}  // namespace k57::ctl
