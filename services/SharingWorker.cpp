#include "SharingWorker.h"

#include <optional>

#include "Journal.h"
#include "JournalServer.h"
#include "JournalSync.h"

namespace k57 {

SharingWorker::SharingWorker(std::string journalPath) : path_(std::move(journalPath)) {}

SharingWorker::~SharingWorker() = default;

void SharingWorker::Run(int kind) {
    Try(kind);
    if (kind == Asked) {
        emit askedDone();
    }
}

// With no server, the journal is not even opened: a PC that keeps no
// journal yet does not get one from this.
void SharingWorker::Try(int kind) {
    std::string server = ConfiguredServer();
    SharingState state;
    state.configured = !server.empty();
    state.fromEnvironment = ServerFromEnvironment();
    if (server.empty()) {
        emit reported(state);
        return;
    }
    if (!journal_) {
        journal_ = std::make_unique<Journal>(path_);
    }
    std::optional<SyncOutcome> outcome;
    if (journal_->Available()) {
        if (kind == Asked) {
            outcome = JournalSync(*journal_, server).Sync();
        } else if (kind == Push || kind == Pull) {
            outcome = SyncIfDue(*journal_, kind == Pull);
        }
    }
    SyncStatus status = JournalSync(*journal_, server).Status();
    state.server = status.server;
    state.queued = journal_->Available() ? status.queued : -1;
    state.lastPush = status.lastPush;
    state.lastPull = status.lastPull;
    state.lastProblem = journal_->Available() ? status.lastProblem : journal_->Status().message;
    emit reported(state);
    if (outcome && outcome->pulled > 0) {
        emit arrived(outcome->pulled);
    }
}

void SharingWorker::Connect(const std::string& conninfo) {
    ServerTry result = SetJournalServer(conninfo);
    // The new server is synced with at once, whatever an earlier one came to.
    Try(result.outcome == ServerTry::Outcome::Usable ? Asked : Status);
    emit connected(result);
    emit askedDone();
}

}  // namespace k57
