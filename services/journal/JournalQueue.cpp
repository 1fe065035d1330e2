// The journal's side of a workshop's server: what waits to be pushed, what
// came down, and the sync's bookmarks. The server's side is JournalSync.

#include <sqlite3.h>

#include "Journal.h"
#include "SqliteStatement.h"

namespace k57 {

long long Journal::QueuedCount() {
    long long count = -1;
    lastCallFailed_ = !status_.available;
    if (!status_.available) {
        return count;
    }
    int result = db_.QueryInteger("SELECT COUNT(*) FROM entries WHERE pushed = 0", count);
    if (result != SQLITE_OK) {
        Failed(result);
        return -1;
    }
    return count;
}

std::vector<JournalEntry> Journal::Queued(int limit) {
    // The partial index on pushed = 0 keeps this quick however long the
    // journal has grown.
    return Entries("WHERE e.pushed = 0 ORDER BY e.id LIMIT ?1", limit);
}

bool Journal::MarkPushed(const std::vector<std::string>& uuids) {
    return Write([&] {
        SqliteStatement mark(db_, "UPDATE entries SET pushed = 1 WHERE uuid = ?1");
        int result = mark.prepared();
        for (size_t i = 0; result == SQLITE_OK && i < uuids.size(); ++i) {
            mark.Reset();
            mark.BindText(1, uuids[i]);
            result = mark.Step();
            result = result == SQLITE_DONE ? SQLITE_OK : result;
        }
        return result;
    });
}

long long Journal::StorePulled(const std::vector<JournalEntry>& entries) {
    long long added = 0;
    bool stored = Write([&] {
        added = 0;
        SqliteStatement known(db_, "SELECT pulled FROM entries WHERE uuid = ?1");
        SqliteStatement mine(db_, "UPDATE entries SET pushed = 1 WHERE uuid = ?1");
        int result = known.prepared() != SQLITE_OK ? known.prepared() : mine.prepared();
        for (size_t i = 0; result == SQLITE_OK && i < entries.size(); ++i) {
            const JournalEntry& entry = entries[i];
            known.Reset();
            known.BindText(1, entry.uuid);
            int step = known.Step();
            if (step == SQLITE_ROW) {
                // Ours, back from the server: a push that was cut off
                // after the server took it is finished here.
                if (known.Integer(0) == 0) {
                    mine.Reset();
                    mine.BindText(1, entry.uuid);
                    result = mine.Step();
                    result = result == SQLITE_DONE ? SQLITE_OK : result;
                }
                continue;
            }
            if (step != SQLITE_DONE) {
                return step;
            }
            JournalEntry pulled = entry;
            pulled.pulled = true;
            long long id = 0;
            result = Insert(pulled, id);
            ++added;
        }
        return result;
    });
    return stored ? added : -1;
}

bool Journal::RequeueAll() {
    return Write([&] { return db_.Execute("UPDATE entries SET pushed = 0 WHERE pulled = 0"); });
}

std::string Journal::SyncValue(const std::string& key) {
    std::string value;
    lastCallFailed_ = !status_.available;
    if (!status_.available) {
        return value;
    }
    SqliteStatement select(db_, "SELECT value FROM sync_state WHERE key = ?1");
    select.BindText(1, key);
    int result = select.Step();
    if (result == SQLITE_ROW) {
        value = select.Text(0);
    } else if (result != SQLITE_DONE) {
        Failed(result);
    }
    return value;
}

bool Journal::SetSyncValue(const std::string& key, const std::string& value) {
    return Write([&] {
        SqliteStatement upsert(db_,
                               "INSERT INTO sync_state (key, value) VALUES (?1, ?2) "
                               "ON CONFLICT (key) DO UPDATE SET value = excluded.value");
        upsert.BindText(1, key);
        upsert.BindText(2, value);
        int result = upsert.Step();
        return result == SQLITE_DONE ? SQLITE_OK : result;
    });
}

}  // namespace k57
