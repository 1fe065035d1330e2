#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

#include "Commands.h"
#include "EmbeddedImages.h"
#include "ExitCodes.h"
#include "FileRead.h"
#include "ParameterList.h"
#include "SettingsGuard.h"
#include "Terminal.h"

namespace k57::ctl {

void Say(const Context& context, const std::string& line) {
    if (!context.quiet) {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
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

void PrintJson(const QJsonObject& object) {
    QByteArray text = QJsonDocument(object).toJson(QJsonDocument::Indented);
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
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
    Say(context, "reading the unit's settings for a backup");
    guard.ReadBackup(*context.device);
    bool kept = guard.KeepBackup();
    TellJournalProblem(context);
    if (kept || (!guard.unitAnswered() && !Interrupted())) {
        return true;  // a unit that does not answer is not changed either
    }
    if (Interrupted()) {
        exitCode = Fail("interrupted: nothing was changed", kInterrupted);
        return false;
    }
    std::string why = Describe(context.device->LastFailure());
    if (context.noBackup) {
        Say(context, "no backup (" + why + "); going on as --no-backup asks");
        return true;
    }
    exitCode = Fail("the unit's settings could not be read for a backup (" + why +
                        "); nothing was changed; --no-backup goes ahead without one",
                    kBadInput);
    return false;
}

}  // namespace k57::ctl
