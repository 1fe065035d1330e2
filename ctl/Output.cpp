#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

#include "Commands.h"
#include "EmbeddedImages.h"
#include "ExitCodes.h"
#include "FileRead.h"
#include "ParameterList.h"
#include "PortMapping.h"
#include "SettingsGuard.h"
#include "SettingsProblemText.h"
#include "Terminal.h"
#include "TextArguments.h"

namespace k57::ctl {

void Say(const Context& context, const std::string& line) {
    if (!context.quiet) {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
}

std::string Words(const char* english, const char* russian,
                  std::initializer_list<std::string_view> args) {
    return WithArguments(RussianProblemTexts() ? russian : english, args);
}

int Fail(const std::string& message, int exitCode) {
    std::fprintf(stderr, "k57ctl: %s\n", message.c_str());
    return exitCode;
}

int ReadFailed(const std::string& file, const std::string& error) {
    if (FileReadsStopped()) {
        return Fail("interrupted: " + file + " was not read to its end", kInterrupted);
    }
    return Fail(file + ": " + error, kBadInput);
}

int Failed(const Context& context, int result) {
    return Fail(Describe(context.device->LastFailure()), ExitFor(result));
}

namespace {

void PrintDocument(const QJsonDocument& document) {
    QByteArray text = document.toJson(QJsonDocument::Indented);
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
}

}  // namespace

void PrintJson(const QJsonObject& object) { PrintDocument(QJsonDocument(object)); }
void PrintJsonArray(const QJsonArray& array) { PrintDocument(QJsonDocument(array)); }

QString CanIdText(uint32_t id, bool extended) {
    return QString::asprintf(extended ? "%08X" : "%03X", unsigned(id));
}

bool LoadCatalogue(ParameterList& list) {
    list.LoadCatalogue(images::Catalogue());
    if (!list.loadError().empty()) {
        Fail(list.loadError(), kBadInput);
        return false;
    }
    return true;
}

bool Agreed(const Context& context, const std::string& question, int& exitCode) {
    if (context.yes) {
        return true;
    }
    if (!IsTerminal(stdin)) {
        exitCode = Fail("no terminal to ask \"" + question + "\" on; --yes answers it", kBadInput);
        return false;
    }
    if (!Confirm(question)) {
        exitCode = Fail("not confirmed", kBadInput);
        return false;
    }
    return true;
}

void TellJournalProblem(Context& context) {
    if (!context.record) {
        return;
    }
    std::string problem = context.record->TakeProblem();
    if (!problem.empty()) {
        std::fprintf(stderr, "k57ctl: %s\n", problem.c_str());
    }
}

void Record(Context& context, JournalOperation operation, int result, const std::string& detail,
            const std::optional<std::string>& before, const std::optional<std::string>& after) {
    if (!context.record) {
        return;
    }
    if (result == kReplyOk && !Interrupted()) {
        context.record->Identify(*context.device);
    }
    context.record->Record(operation, context.device->PortName(), JournalResultFor(result), detail,
                           before, after);
    TellJournalProblem(context);
}

bool BackedUp(Context& context, SettingsGuard& guard, int& exitCode) {
    Say(context, Words("reading the unit's settings for a backup",
                       "чтение настроек устройства для резервной копии"));
    guard.ReadBackup(*context.device);
    bool kept = guard.KeepBackup();
    TellJournalProblem(context);
    if (kept || (guard.portUnavailable() && !Interrupted())) {
        return true;  // a port that does not open takes no change either
    }
    if (Interrupted()) {
        exitCode = Fail("interrupted: nothing was changed", kInterrupted);
        return false;
    }
    // A unit that did not answer is not changed without a backup either: it
    // may merely have been slow.
    std::string why = guard.backup() ? std::string("the backup could not be kept in the journal")
                                     : "the unit's settings could not be read for a backup (" +
                                           Describe(context.device->LastFailure()) + ")";
    if (context.noBackup) {
        Say(context, "no backup: " + why + "; going on as --no-backup asks");
        return true;
    }
    exitCode = Fail(why + "; nothing was changed; --no-backup goes ahead without one", kBadInput);
    return false;
}

int Verified(Context& context, const WriteCheck& check, const std::string& done) {
    if (Interrupted() && !check.confirmed()) {
        return Fail(
            "interrupted: whether the unit took the settings is unknown; k57ctl settings "
            "read shows what it holds",
            kInterrupted);
    }
    if (check.writeResult == kLineLost && !check.confirmed()) {
        return Fail(Words("%1: the connection was lost during the write; read the settings to "
                          "check (k57ctl settings read shows what the unit holds)",
                          "%1: связь потеряна во время записи; прочитайте настройки, чтобы "
                          "проверить (k57ctl settings read покажет, что хранит устройство)",
                          {ports::ShownName(context.device->PortName())}),
                    kNotConfirmed);
    }
    switch (check.state) {
        case WriteCheck::State::Confirmed:
            Say(context, Words("%1 and confirmed by reading them back",
                               "%1 и подтверждены: прочитанные из устройства совпадают", {done}));
            return kDone;
        case WriteCheck::State::Differs:
            return Fail("settings sent, but the unit holds other values for " +
                            DifferingKeys(check) + "; k57ctl settings read shows what it holds",
                        kNotConfirmed);
        case WriteCheck::State::Unknown:
            return Fail("settings sent, but reading them back failed (" +
                            Describe(context.device->LastFailure()) +
                            "), so whether the unit took them is unknown; k57ctl settings read "
                            "shows what it holds",
                        kNotConfirmed);
        case WriteCheck::State::NotSent:
            break;
    }
    return Failed(context, check.writeResult);
}

}  // namespace k57::ctl
