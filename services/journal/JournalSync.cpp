#include "JournalSync.h"

#include <QDateTime>
#include <cstdlib>

#include "Journal.h"
#include "JournalServer.h"
#include "ServerSchema.h"
#include "Workstation.h"

namespace k57 {

namespace {

// The journal's bookmarks in its sync_state table.
constexpr const char* kJournalId = "server_journal_id";
constexpr const char* kPulledSeq = "pulled_seq";
constexpr const char* kLastPush = "last_push";
constexpr const char* kLastPull = "last_pull";
constexpr const char* kRetryAfter = "retry_after_ms";
constexpr const char* kLastProblem = "last_problem";

// Serialises pushes on the server: a sequence number is taken and
// committed under it, so numbers become visible in order.
constexpr const char* kPushLock = "SELECT pg_advisory_xact_lock(57001)";
// Another PC's push holds that lock for a moment; one whose PC lost the
// network in the middle holds it until the server notices, which may take
// hours. A push gives up after this and its entries wait for the next.
constexpr const char* kPushLockWait = "SET LOCAL lock_timeout = '5s'";

// What a pull reads, each field bounded: any login in the technicians'
// role can add rows, and a page must fit in memory whatever they hold. A
// unit's settings text is a few kilobytes; one larger stays on the server.
constexpr const char* kPullColumns =
    "SELECT seq, uuid, time_ms, serial, substring(unit_type for 64), "
    "substring(firmware for 64), left(operation, 64), left(port, 64), left(result, 64), "
    "left(detail, 4096) || CASE WHEN octet_length(before) > 65536 OR octet_length(after) > "
    "65536 THEN ' [settings too large: left on the server]' ELSE '' END, "
    "left(tool_version, 128), left(front_end, 64), left(pc, 256), left(user_name, 256), "
    "CASE WHEN octet_length(before) <= 65536 THEN before END, "
    "CASE WHEN octet_length(after) <= 65536 THEN after END ";

constexpr int kColumns = 15;
constexpr const char* kInsertColumns =
    "INSERT INTO k57.entries (uuid, time_ms, serial, unit_type, firmware, operation, port, "
    "result, detail, tool_version, front_end, pc, user_name, before, after) VALUES ";

long long Now() {
    return QDateTime::currentMSecsSinceEpoch();
}

PgParam Text(const std::string& text) {
    return {text, false};
}

PgParam Bytes(const std::optional<std::string>& bytes) {
    return {bytes, true};
}

// One entry's parameters, in kInsertColumns' order.
void AddParams(const JournalEntry& entry, std::vector<PgParam>& params) {
    params.push_back(Text(entry.uuid));
    params.push_back(Text(std::to_string(entry.timeMs)));
    params.push_back(entry.serial ? Text(std::to_string(*entry.serial)) : PgParam{});
    params.push_back(Bytes(entry.unitType));
    params.push_back(Bytes(entry.firmware));
    params.push_back(Text(JournalText(entry.operation)));
    params.push_back(Text(entry.port));
    params.push_back(Text(JournalText(entry.result)));
    params.push_back(Text(entry.detail));
    params.push_back(Text(entry.toolVersion));
    params.push_back(Text(JournalText(entry.frontEnd)));
    // Entries made before the journal was shared name no PC: this one made them.
    params.push_back(Text(entry.pc.empty() ? ThisPc() : entry.pc));
    params.push_back(Text(entry.user));
    params.push_back(Bytes(entry.before));
    params.push_back(Bytes(entry.after));
}

JournalEntry ReadPulled(const PgResult& rows, int row) {
    JournalEntry entry;
    entry.uuid = rows.Text(row, 1);
    entry.timeMs = rows.Integer(row, 2);
    if (!rows.IsNull(row, 3)) {
        entry.serial = uint32_t(rows.Integer(row, 3));
    }
    entry.unitType = rows.Bytes(row, 4);
    entry.firmware = rows.Bytes(row, 5);
    // A text this build does not know is kept visible, as in the journal.
    std::string operation = rows.Text(row, 6);
    if (auto known = JournalOperationFrom(operation)) {
        entry.operation = *known;
    } else {
        entry.detail = "[" + operation + "] ";
    }
    entry.port = rows.Text(row, 7);
    std::string result = rows.Text(row, 8);
    if (auto known = JournalResultFrom(result)) {
        entry.result = *known;
    } else {
        entry.result = JournalResult::BadReply;
        entry.detail += "[" + result + "] ";
    }
    entry.detail += rows.Text(row, 9);
    entry.toolVersion = rows.Text(row, 10);
    entry.frontEnd = rows.Text(row, 11) == JournalText(JournalFrontEnd::Ctl) ? JournalFrontEnd::Ctl
                                                                            : JournalFrontEnd::Window;
    entry.pc = rows.Text(row, 12);
    entry.user = rows.Text(row, 13);
    if (!rows.IsNull(row, 14)) {
        entry.before = rows.Bytes(row, 14);
    }
    if (!rows.IsNull(row, 15)) {
        entry.after = rows.Bytes(row, 15);
    }
    entry.pulled = true;
    return entry;
}

}  // namespace

JournalSync::JournalSync(Journal& journal, std::string conninfo)
    : journal_(journal), conninfo_(std::move(conninfo)) {}

bool JournalSync::Due() {
    std::string after = journal_.SyncValue(kRetryAfter);
    return Now() >= std::strtoll(after.c_str(), nullptr, 10);
}

bool JournalSync::Reach(SyncOutcome& outcome) {
    if (!journal_.Available()) {
        outcome.reason = journal_.Status().message;
        return false;
    }
    if (!server_.connected() && !server_.Connect(conninfo_, kConnectMs)) {
        outcome.reason = server_.error();
        return false;
    }
    outcome.answered = true;
    ServerJournal found = CheckServerJournal(server_);
    if (!found.usable) {
        outcome.reason = found.problem;
        server_.Close();
        return false;
    }
    // Another server, or the same one's journal made anew: everything made
    // here goes to it, and it is read from its start.
    if (journal_.SyncValue(kJournalId) != found.journalId) {
        if (!journal_.RequeueAll() || !journal_.SetSyncValue(kPulledSeq, "0") ||
            !journal_.SetSyncValue(kJournalId, found.journalId)) {
            outcome.reason = journal_.Status().message;
            return false;
        }
    }
    outcome.reached = true;
    return true;
}

bool JournalSync::PushBatch(const std::vector<JournalEntry>& batch, std::string& error) {
    std::string sql = kInsertColumns;
    std::vector<PgParam> params;
    params.reserve(batch.size() * kColumns);
    for (size_t i = 0; i < batch.size(); ++i) {
        sql += i ? ",(" : "(";
        for (int column = 1; column <= kColumns; ++column) {
            sql += "$" + std::to_string(i * kColumns + column) + (column < kColumns ? "," : ")");
        }
        AddParams(batch[i], params);
    }
    sql += " ON CONFLICT (uuid) DO NOTHING";
    // A push cut off anywhere here leaves the server as it was, or with the
    // batch whole; either way the next push sends it again harmlessly.
    if (!server_.Run("BEGIN") || !server_.Run(kPushLockWait) || !server_.Run(kPushLock) ||
        !server_.Run(sql, params) || !server_.Run("COMMIT")) {
        error = server_.error();
        server_.Run("ROLLBACK");
        return false;
    }
    return true;
}

bool JournalSync::PushAll(SyncOutcome& outcome) {
    for (;;) {
        std::vector<JournalEntry> batch = journal_.Queued(kPushBatch);
        if (journal_.lastCallFailed()) {
            outcome.reason = journal_.Status().message;
            return false;
        }
        if (batch.empty()) {
            return true;
        }
        if (!PushBatch(batch, outcome.reason)) {
            return false;
        }
        std::vector<std::string> uuids;
        for (const JournalEntry& entry : batch) {
            uuids.push_back(entry.uuid);
        }
        if (!journal_.MarkPushed(uuids)) {
            outcome.reason = journal_.Status().message;
            return false;
        }
        outcome.pushed += static_cast<long long>(batch.size());
    }
}

bool JournalSync::PullAll(SyncOutcome& outcome) {
    for (;;) {
        std::string seq = journal_.SyncValue(kPulledSeq);
        PgResult rows = server_.Exec(
            std::string(kPullColumns) + "FROM k57.entries WHERE seq > $1 ORDER BY seq LIMIT " +
                std::to_string(kPullBatch),
            {Text(seq.empty() ? "0" : seq)});
        if (!rows.ok()) {
            outcome.reason = rows.error();
            return false;
        }
        std::vector<JournalEntry> entries;
        entries.reserve(size_t(rows.rows()));
        for (int row = 0; row < rows.rows(); ++row) {
            entries.push_back(ReadPulled(rows, row));
        }
        long long added = entries.empty() ? 0 : journal_.StorePulled(entries);
        if (added < 0 ||
            (rows.rows() > 0 &&
             !journal_.SetSyncValue(kPulledSeq, rows.Text(rows.rows() - 1, 0)))) {
            outcome.reason = journal_.Status().message;
            return false;
        }
        outcome.pulled += added;
        if (rows.rows() < kPullBatch) {
            return true;
        }
    }
}

void JournalSync::Finish(SyncOutcome& outcome, bool pushed, bool pulled) {
    std::string now = JournalTimeText(Now());
    if (outcome.done()) {
        journal_.SetSyncValue(kRetryAfter, "0");
        journal_.SetSyncValue(kLastProblem, "");
    } else {
        // An automatic try waits a while; the work at the bench does not.
        if (!outcome.reached || !server_.connected()) {
            journal_.SetSyncValue(kRetryAfter, std::to_string(Now() + kRetryMs));
        }
        journal_.SetSyncValue(kLastProblem, outcome.reason);
        server_.Close();
    }
    if (pushed) {
        journal_.SetSyncValue(kLastPush, now);
    }
    if (pulled) {
        journal_.SetSyncValue(kLastPull, now);
    }
    outcome.queued = journal_.QueuedCount();
}

SyncOutcome JournalSync::Push() {
    SyncOutcome outcome;
    bool pushed = Reach(outcome) && PushAll(outcome);
    Finish(outcome, pushed, false);
    return outcome;
}

SyncOutcome JournalSync::Pull() {
    SyncOutcome outcome;
    bool pulled = Reach(outcome) && PullAll(outcome);
    Finish(outcome, false, pulled);
    return outcome;
}

SyncOutcome JournalSync::Sync() {
    SyncOutcome outcome;
    bool pushed = Reach(outcome) && PushAll(outcome);
    bool pulled = pushed && PullAll(outcome);
    Finish(outcome, pushed, pulled);
    return outcome;
}

SyncStatus JournalSync::Status() {
    SyncStatus status;
    std::string error;
    status.server = ShownServer(conninfo_, error);
    status.queued = journal_.QueuedCount();
    status.lastPush = journal_.SyncValue(kLastPush);
    status.lastPull = journal_.SyncValue(kLastPull);
    status.lastProblem = journal_.SyncValue(kLastProblem);
    return status;
}

}  // namespace k57

namespace k57 {

std::optional<SyncOutcome> SyncIfDue(Journal& journal, bool pull) {
    std::string server = ConfiguredServer();
    if (server.empty() || !journal.Available()) {
        return std::nullopt;
    }
    JournalSync sync(journal, server);
    if (!sync.Due() || (!pull && journal.QueuedCount() == 0)) {
        return std::nullopt;
    }
    return pull ? sync.Sync() : sync.Push();
}

std::string SyncProblemText(const std::string& server, const SyncOutcome& outcome) {
    std::string error;
    std::string shown = ShownServer(server, error);
    std::string text = outcome.answered
                           ? "the journal server " + shown + ": " + outcome.reason
                           : "the journal server " + shown + " cannot be reached (" +
                                 outcome.reason + ")";
    if (outcome.queued > 0) {
        text += "; " + std::to_string(outcome.queued) +
                (outcome.queued == 1 ? " entry waits" : " entries wait") + " to be pushed";
    }
    return text;
}

}  // namespace k57
