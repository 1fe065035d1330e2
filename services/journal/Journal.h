#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "JournalEntry.h"
#include "SqliteDatabase.h"

namespace k57 {

struct JournalOptions {
    // How long one write waits for another process's lock, and how many
    // such waits it makes before the entry is given up.
    int busyTimeoutMs = 5000;
    int busyAttempts = 3;
};

// What went wrong with the journal, for a front end that words it itself.
enum class JournalProblem { None, Busy, Full, ReadOnly, Damaged, Newer, Other };

struct JournalStatus {
    bool available = false;
    std::string path;
    JournalProblem problem = JournalProblem::None;
    std::string message;      // plain words (UTF-8) for the user; empty when all is well
    std::string damagedPath;  // where a damaged journal was set aside, if one was
};

// The service journal: every operation on every unit, with the unit's
// settings before and after, in one SQLite file that several processes may
// write at once. It never throws and never stops the tool: when it cannot be
// used, Status() says why, TakeProblem() hands the words over once, and the
// caller goes on without it. A damaged file is never written over: it is
// renamed aside and a new journal begun. The file and its folder are the
// user's alone (PrivateFiles.h).
//
// Nothing but SQLite opens the file: closing any other handle on it would
// drop the locks SQLite holds on it for the whole process.
class Journal {
  public:
    // K57_DATA_DIR/journal.sqlite3, or journal.sqlite3 in the user's data
    // folder for the tool (k57tool beside the other programs' data).
    static std::string DefaultPath();

    explicit Journal(std::string path = DefaultPath(), JournalOptions options = {});
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    bool Available() const { return status_.available; }
    const JournalStatus& Status() const { return status_; }
    // The words for a problem not handed over yet, then empty: a front end
    // shows each problem once. A problem that recurs after a success is new.
    std::string TakeProblem();
    // Whether the last call failed: a read that found the journal damaged
    // returns nothing, which must not pass for an empty journal.
    bool lastCallFailed() const { return lastCallFailed_; }

    // Stores the entry (stamped now and with this build's version when the
    // entry leaves them out); its id, or 0 when it was not stored.
    long long Record(const JournalEntry& entry);
    // The units whose serial number contains `filter` (typed digits; empty
    // for all), those beginning with it first, then the last seen first.
    std::vector<UnitSummary> Units(const std::string& filter = {});
    // One unit's entries in the order this journal learnt of them: made
    // here, or come down from a workshop's server (a clock set back, or
    // another PC's, must not reorder them).
    std::vector<JournalEntry> Timeline(uint32_t serial);
    std::optional<JournalEntry> Entry(long long id);
    // The newest entry's id, 0 for none: one cheap look, for a window that
    // watches for entries another connection (k57ctl, another window)
    // adds. -1 when it cannot be read; that is left for the next real read
    // to find and tell.
    long long LatestId();
    // The unit's latest settings snapshot: its latest backup entry.
    std::optional<JournalEntry> LatestBackup(uint32_t serial);
    // Every entry as CSV (UTF-8, header row), settings texts masked unless
    // `reveal`. False when the journal or the writing failed; `error` then
    // says how, in plain words.
    bool ExportCsv(std::ostream& out, bool reveal, std::string& error);
    bool ExportCsv(const std::string& path, bool reveal, std::string& error);

    // --- shared through a workshop's server (JournalQueue.cpp) ------------
    // How many entries made here wait to be pushed; -1 when it cannot be read.
    long long QueuedCount();
    // Up to `limit` entries made here and not on the server yet, oldest first.
    std::vector<JournalEntry> Queued(int limit);
    // These entries (by UUID) are on the server now.
    bool MarkPushed(const std::vector<std::string>& uuids);
    // Entries come down from the server, each kept unless it is known here
    // already (by its UUID); one made here that comes back is on the server.
    // How many were new; -1 when they could not be stored.
    long long StorePulled(const std::vector<JournalEntry>& entries);
    // Every entry made here waits to be pushed again: the server is another.
    bool RequeueAll();
    // The sync's bookmarks (last pulled sequence, times, the server's id):
    // empty when not set.
    std::string SyncValue(const std::string& key);
    bool SetSyncValue(const std::string& key, const std::string& value);

  private:
    int Open();
    void OpenOrSetAside();
    // Side files (-wal, -shm) that a run of this user left unwritable are
    // made writable again: SQLite would take the journal for read-only.
    void MendSideFiles();
    // The file (or the folder) this user may not write; empty if none.
    std::string UnwritablePart() const;
    // Renames the damaged file (with its -wal and -shm) aside and begins a
    // new journal in its place.
    void SetAside();
    // The entry's row, in the caller's transaction.
    int Insert(const JournalEntry& entry, long long& id);
    // Runs `work` (an SQLite result code) in one write transaction, again
    // while another process holds the lock, and notes the outcome; false
    // when it failed.
    bool Write(const std::function<int()>& work);
    // The settings text's row, stored if it is new; 0 for no text.
    int StoreSettings(const std::optional<std::string>& text, long long& id);
    // Calls `row` with each entry that `where` (constant SQL with one
    // parameter, ?1 = key) selects, while it returns true.
    template <typename Row>
    int Select(const char* where, long long key, Row&& row);
    std::optional<JournalEntry> One(const char* where, long long key);
    // Every entry `where` selects; none when the read failed.
    std::vector<JournalEntry> Entries(const char* where, long long key);
    bool Export(const std::function<bool(const std::string&)>& write, bool reveal,
                std::string& error);
    std::string Words(JournalProblem problem) const;
    // Notes a failed call's problem; a damaged file is set aside at once.
    void Failed(int result);
    void Succeeded();
    void Report(JournalProblem problem, const std::string& message);

    std::string path_;
    JournalOptions options_;
    SqliteDatabase db_;
    long long version_ = 0;
    JournalStatus status_;
    std::string pending_;
    JournalProblem reported_ = JournalProblem::None;
    bool lastCallFailed_ = false;
};

// The problem an SQLite result code means.
JournalProblem ProblemOf(int result);

}  // namespace k57
