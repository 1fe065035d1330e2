#pragma once

#include <optional>
#include <string>
#include <vector>

#include "JournalEntry.h"
#include "PgConnection.h"

namespace k57 {

class Journal;

// What a push or a pull came to.
struct SyncOutcome {
    bool answered = false;  // the server answered
    bool reached = false;   // and its journal could be used
    std::string reason;    // plain words when it did not, or when a step failed
    long long pushed = 0;  // entries sent (some may have been there already)
    long long pulled = 0;  // entries new to this journal
    long long queued = 0;  // entries made here still not on the server
    bool done() const { return reached && reason.empty(); }
};

// Where the journal stands with its server, from the journal's own
// bookmarks: no network.
struct SyncStatus {
    std::string server;    // "host:port/db", never a password; empty: none
    long long queued = 0;  // -1 when the journal cannot be read
    std::string lastPush;  // "2024-05-01T09:30:00.123Z", empty: never
    std::string lastPull;
    std::string lastProblem;  // why the last try failed; empty after a success
};

// A journal shared through a workshop's PostgreSQL server. Every entry is
// made in the local journal first; a push sends what waits (INSERT … ON
// CONFLICT DO NOTHING, keyed by the entry's UUID, so a push cut off at any
// point is simply made again), a pull brings down what other PCs added
// since the last pull (by the server's sequence). Pushes take a lock on the
// server for their transaction, so sequence numbers become visible in
// order and a pull never skips one that commits late.
//
// After the server could not be reached, automatic tries (Due) wait a
// minute: an operation pays the connection's time-out once, then nothing.
// An asked-for sync always tries. Used on one thread.
class JournalSync {
  public:
    static constexpr int kConnectMs = 2000;
    static constexpr long long kRetryMs = 60000;
    static constexpr int kPushBatch = 500;
    static constexpr int kPullBatch = 2000;

    // Both borrowed; `conninfo` is libpq's connection string or URI.
    JournalSync(Journal& journal, std::string conninfo);

    SyncOutcome Push();
    SyncOutcome Pull();
    // Push, then pull, over one connection.
    SyncOutcome Sync();
    // Whether an automatic try is due: not within kRetryMs after a failed one.
    bool Due();
    SyncStatus Status();

  private:
    // Connected to a usable server journal, its id checked against the one
    // this journal last worked with; false with the reason noted.
    bool Reach(SyncOutcome& outcome);
    bool PushAll(SyncOutcome& outcome);
    bool PullAll(SyncOutcome& outcome);
    bool PushBatch(const std::vector<JournalEntry>& batch, std::string& error);
    void Finish(SyncOutcome& outcome, bool pushed, bool pulled);

    Journal& journal_;
    std::string conninfo_;
    PgConnection server_;
};

}  // namespace k57

namespace k57 {

// What every front end does around its operations: with a server
// configured (JournalServer.h) and a try due, push what waits and, with
// `pull`, bring down what is new. Nothing when no try was made.
std::optional<SyncOutcome> SyncIfDue(Journal& journal, bool pull);
// "the journal server 10.0.0.5:5432/k57 cannot be reached (…); 3 entries
// wait to be pushed" and the like, in plain words.
std::string SyncProblemText(const std::string& server, const SyncOutcome& outcome);

}  // namespace k57
