// journal: the workshop's shared journal (connect, sync, status, the
// server's schema).

#include "JournalCommands.h"

#include <CLI/CLI.hpp>
#include <QJsonObject>
#include <cstdio>

#include "Commands.h"
#include "ExitCodes.h"
#include "Journal.h"
#include "JournalServer.h"
#include "JournalSync.h"
#include "ServerSchema.h"
#include "ServerTry.h"

namespace k57::ctl {

namespace {

// init-server may wait on a busy server longer than a technician's push.
constexpr int kAdminConnectMs = 10000;

QJsonValue JsonText(const std::string& text) {
    return text.empty() ? QJsonValue() : QJsonValue(QString::fromStdString(text));
}

// The configured server, or a message and the exit code.
bool Configured(std::string& server, int& exitCode) {
    server = ConfiguredServer();
    if (server.empty()) {
        exitCode = Fail("no journal server is set: k57ctl journal connect URI, or "
                        "K57_JOURNAL_SERVER",
                        kBadInput);
        return false;
    }
    return true;
}

Journal* UsableJournal(Context& context, int& exitCode) {
    Journal& journal = context.record->journal();
    if (!journal.Available()) {
        exitCode = Fail(journal.Status().message, kNoJournal);
        return nullptr;
    }
    return &journal;
}

int Connect(Context& context, const std::string& server) {
    using Outcome = ServerTry::Outcome;
    ServerTry done = SetJournalServer(server);
    switch (done.outcome) {
        case Outcome::Unreadable:
            return Fail("cannot read the server's address: " + done.reason, kBadInput);
        case Outcome::NotStored:
            return Fail("cannot write the tool's settings", kNoJournal);
        default:
            break;
    }
    Say(context, "journal server set: " + done.shown);
    if (ServerFromEnvironment()) {
        Say(context, "K57_JOURNAL_SERVER is set and is used instead while it is");
    }
    if (done.outcome == Outcome::Unreachable) {
        return Fail(
            "the server cannot be reached now (" + done.reason + "); entries wait until it can",
            kNoJournal);
    }
    if (done.outcome == Outcome::Unusable) {
        return Fail(done.reason, kNoJournal);
    }
    Say(context, "the server answers and its journal can be used");
    return kDone;
}

int Sync(Context& context) {
    int exitCode = kDone;
    std::string server;
    Journal* journal = nullptr;
    if (!Configured(server, exitCode) || !(journal = UsableJournal(context, exitCode))) {
        return exitCode;
    }
    SyncOutcome outcome = JournalSync(*journal, server).Sync();
    if (!outcome.done()) {
        return Fail(SyncProblemText(server, outcome), kNoJournal);
    }
    if (outcome.queued != 0) {
        return Fail(std::to_string(outcome.queued) + " entries still wait to be pushed",
                    kNoJournal);
    }
    std::printf("pushed %lld, pulled %lld; nothing waits\n", outcome.pushed, outcome.pulled);
    return kDone;
}

int Status(Context& context) {
    int exitCode = kDone;
    Journal* journal = UsableJournal(context, exitCode);
    if (!journal) {
        return exitCode;
    }
    std::string server = ConfiguredServer();
    SyncStatus status = JournalSync(*journal, server).Status();
    if (server.empty()) {
        status.server.clear();
    }
    const char* source = server.empty() ? "" : ServerFromEnvironment() ? "environment" : "settings";
    if (context.json) {
        PrintJson({{"server", JsonText(status.server)},
                   {"source", JsonText(source)},
                   {"queued", status.queued},
                   {"last_push", JsonText(status.lastPush)},
                   {"last_pull", JsonText(status.lastPull)},
                   {"problem", JsonText(status.lastProblem)}});
        return kDone;
    }
    std::printf("server     %s\n", server.empty() ? "none (this PC's journal only)"
                                                  : (status.server + " (from the " + source +
                                                     ")").c_str());
    std::printf("queued     %lld\n", status.queued);
    std::printf("last push  %s\n", status.lastPush.empty() ? "never" : status.lastPush.c_str());
    std::printf("last pull  %s\n", status.lastPull.empty() ? "never" : status.lastPull.c_str());
    if (!status.lastProblem.empty()) {
        std::printf("problem    %s\n", status.lastProblem.c_str());
    }
    return kDone;
}

int InitServer(Context& context, const std::string& server, bool printSql) {
    if (printSql) {
        std::fputs(ServerJournalSql().c_str(), stdout);
        return kDone;
    }
    if (server.empty()) {
        return Fail("init-server needs the server's URI (or --sql)", kBadInput);
    }
    std::string error;
    std::string shown = ShownServer(server, error);
    if (shown.empty()) {
        return Fail("cannot read the server's address: " + error, kBadInput);
    }
    PgConnection connection;
    if (!connection.Connect(server, kAdminConnectMs)) {
        return Fail("the server " + shown + " cannot be reached (" + connection.error() + ")",
                    kNoJournal);
    }
    if (!InitServerJournal(connection, error)) {
        return Fail("the journal on " + shown + " could not be made: " + error, kNoJournal);
    }
    Say(context, "the journal on " + shown + " is ready (version " +
                     std::to_string(kServerSchemaVersion) +
                     "); technicians' logins need the role k57_technician");
    return kDone;
}

}  // namespace

void AddJournalCommands(CLI::App& app, JournalCommandLine& line) {
    auto* journal = app.add_subcommand(
        "journal", "the workshop's shared journal on a PostgreSQL server");
    journal->require_subcommand(1);
    line.connect = journal->add_subcommand(
        "connect", "set the journal server for every later run and try it");
    line.connect->add_option("URI", line.server,
                             "libpq connection string or URI, e.g. "
                             "postgresql://bench1@server/k57?sslmode=verify-full")
        ->required();
    line.disconnect =
        journal->add_subcommand("disconnect", "forget the stored journal server");
    line.sync = journal->add_subcommand(
        "sync", "push what waits, then pull what other PCs added; exit 6 when the server "
                "cannot be reached");
    line.status = journal->add_subcommand(
        "status", "the server, what waits, the last push and pull (--json: one object)");
    line.initServer = journal->add_subcommand(
        "init-server", "make or update the journal's tables and roles on the server (as its "
                       "administrator); --sql prints the SQL instead");
    line.initServer->add_option("URI", line.server, "the administrator's connection");
    line.initServer->add_flag("--sql", line.printSql, "print the SQL, connect to nothing");
}

int RunJournalCommand(Context& context, const JournalCommandLine& line) {
    if (*line.connect)
        return Connect(context, line.server);
    if (*line.disconnect) {
        if (!StoreServer({})) {
            return Fail("cannot write the tool's settings", kNoJournal);
        }
        Say(context, "no journal server: the journal is this PC's alone");
        return kDone;
    }
    if (*line.sync)
        return Sync(context);
    if (*line.status)
        return Status(context);
    if (*line.initServer)
        return InitServer(context, line.server, line.printSql);
    return -1;
}

void ShareJournal(Context& context, bool pull) {
    // A PC new to the workshop pulls into a journal made for it; a push
    // needs one that something was recorded in.
    Journal* journal = !context.record ? nullptr
                       : pull && !ConfiguredServer().empty() ? &context.record->journal()
                                                            : context.record->ExistingJournal();
    if (!journal) {
        return;
    }
    if (std::optional<SyncOutcome> outcome = SyncIfDue(*journal, pull)) {
        if (!outcome->done()) {
            std::fprintf(stderr, "k57ctl: %s\n",
                         SyncProblemText(ConfiguredServer(), *outcome).c_str());
        }
    }
}

}  // namespace k57::ctl
