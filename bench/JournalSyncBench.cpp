// Measures the journal shared through a workshop's server (URI: a
// superuser's, to a database of the bench's own):
//  - 10,000 entries queued while the server was away, pushed (target 5 s);
//  - a server journal of 1,000,000 entries over 1,000 units: a fresh PC's
//    first pull (no target: once per PC), then, with 200 new entries from
//    other PCs, one incremental pull and a unit's whole history read, as
//    the history window and k57ctl history do (target 200 ms).
//
//   build/default/bench/journal_sync_bench URI

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <string>

#include "Journal.h"
#include "JournalSync.h"
#include "PgConnection.h"
#include "ServerSchema.h"
#include "SqliteDatabase.h"

using namespace k57;

namespace {

constexpr int kQueued = 10000;
constexpr long long kServerEntries = 1000000;
constexpr int kUnits = 1000;
constexpr int kNew = 200;

bool Check(bool ok, const std::string& what) {
    if (!ok) {
        std::fprintf(stderr, "journal_sync_bench: %s\n", what.c_str());
    }
    return ok;
}

// Entries as other PCs push them, made on the server at once.
bool AddOnServer(PgConnection& server, long long count, long long first) {
    return server.Run(
        "INSERT INTO k57.entries (uuid, time_ms, serial, unit_type, firmware, operation, port, "
        "result, detail, tool_version, front_end, pc, user_name, after) "
        "SELECT gen_random_uuid(), 1700000000000 + n * 1000, 100000 + n % " +
        std::to_string(kUnits) +
        ", 'K57BT', '000.008', 'read settings', 'COM5', 'ok', '', 'k57tool 1.0', 'k57tool', "
        "'PC-' || (n % 7), 'bench', CASE WHEN n % 10 = 0 THEN convert_to('MicLevel=' || (n % "
        "16), 'UTF8') END FROM generate_series(" +
        std::to_string(first) + ", " + std::to_string(first + count - 1) + ") AS n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: journal_sync_bench URI\n");
        return 1;
    }
    std::string uri = argv[1];
    PgConnection admin;
    std::string error;
    if (!Check(admin.Connect(uri, 10000), admin.error()) ||
        !Check(InitServerJournal(admin, error), error)) {
        return 1;
    }
    QTemporaryDir folder;

    // Queued while the server was away: the journal alone, then one push.
    {
        Journal journal(folder.filePath("queued.sqlite3").toStdString());
        for (int n = 0; n < kQueued; ++n) {
            JournalEntry entry;
            entry.serial = 1 + n % 50;
            entry.operation = JournalOperation::ReadSettings;
            entry.after = "MicLevel=" + std::to_string(n % 16) + "\n";
            if (!Check(journal.Record(entry) != 0, journal.Status().message)) {
                return 1;
            }
        }
        QElapsedTimer timer;
        timer.start();
        SyncOutcome pushed = JournalSync(journal, uri).Push();
        std::printf("push of %d queued entries: %.2f s (target 5 s)%s\n", kQueued,
                    timer.nsecsElapsed() / 1e9,
                    pushed.done() && pushed.queued == 0 ? "" : (" FAILED: " + pushed.reason).c_str());
    }

    if (!Check(AddOnServer(admin, kServerEntries - kQueued, 0), admin.error())) {
        return 1;
    }
    Journal journal(folder.filePath("pc.sqlite3").toStdString());
    QElapsedTimer timer;
    timer.start();
    SyncOutcome first = JournalSync(journal, uri).Pull();
    std::printf("first pull of %lld entries: %.1f s\n", first.pulled, timer.nsecsElapsed() / 1e9);

    if (!Check(AddOnServer(admin, kNew, kServerEntries), admin.error())) {
        return 1;
    }
    uint32_t unit = 100000 + 7;
    timer.restart();
    SyncOutcome next = JournalSync(journal, uri).Pull();
    std::vector<JournalEntry> history = journal.Timeline(unit);
    double ms = timer.nsecsElapsed() / 1e6;
    std::printf("incremental pull of %lld new entries and unit %u's history of %zu entries: "
                "%.0f ms (target 200 ms)%s\n",
                next.pulled, unit, history.size(), ms, next.done() ? "" : " FAILED");
    return 0;
}
