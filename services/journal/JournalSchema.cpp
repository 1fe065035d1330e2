#include "JournalSchema.h"

#include <sqlite3.h>
#include <string>

#include "SqliteDatabase.h"

namespace k57 {

namespace {

struct Migration {
    int version;  // what the file is at after this step
    const char* sql;
};

// Released steps never change; a later schema adds a step at the end.
//
// Settings texts are kept once each (a unit's backup before a change is
// usually the text of its previous write), found again by a 64-bit hash of
// their bytes. Unit texts (type, firmware) and settings are BLOBs: the
// unit's Windows-1251 bytes, never taken for UTF-8.
const Migration kMigrations[] = {
    {1, R"sql(
CREATE TABLE settings_texts (
    id INTEGER PRIMARY KEY,
    hash INTEGER NOT NULL,
    bytes BLOB NOT NULL
);
CREATE INDEX settings_texts_by_hash ON settings_texts (hash);
CREATE TABLE entries (
    id INTEGER PRIMARY KEY,
    time_ms INTEGER NOT NULL,
    serial INTEGER,
    unit_type BLOB NOT NULL,
    firmware BLOB NOT NULL,
    operation TEXT NOT NULL,
    port TEXT NOT NULL,
    result TEXT NOT NULL,
    detail TEXT NOT NULL,
    tool_version TEXT NOT NULL,
    front_end TEXT NOT NULL,
    before_id INTEGER REFERENCES settings_texts (id),
    after_id INTEGER REFERENCES settings_texts (id)
);
CREATE INDEX entries_by_unit ON entries (serial, id);
)sql"},
    // Shared through a workshop's server: every entry has a UUID (its key
    // there), the PC and the user that made it, whether it came down from
    // the server and whether it is on the server yet. The sync's own
    // bookmarks live beside it. Entries made before this step get a UUID
    // now and are pushed like new ones.
    {2, R"sql(
ALTER TABLE entries ADD COLUMN uuid TEXT;
ALTER TABLE entries ADD COLUMN pc TEXT NOT NULL DEFAULT '';
ALTER TABLE entries ADD COLUMN user_name TEXT NOT NULL DEFAULT '';
ALTER TABLE entries ADD COLUMN pulled INTEGER NOT NULL DEFAULT 0;
ALTER TABLE entries ADD COLUMN pushed INTEGER NOT NULL DEFAULT 0;
ALTER TABLE entries ADD COLUMN server_seq INTEGER;
UPDATE entries SET uuid = lower(hex(randomblob(4)) || '-' || hex(randomblob(2)) || '-4' ||
    substr(hex(randomblob(2)), 2) || '-' || substr('89ab', 1 + abs(random()) % 4, 1) ||
    substr(hex(randomblob(2)), 2) || '-' || hex(randomblob(6)));
CREATE UNIQUE INDEX entries_by_uuid ON entries (uuid);
CREATE INDEX entries_queued ON entries (id) WHERE pushed = 0;
CREATE TABLE sync_state (
    key TEXT PRIMARY KEY,
    value TEXT NOT NULL
);
)sql"},
};

}  // namespace

static_assert(sizeof(kMigrations) / sizeof(kMigrations[0]) == kJournalSchemaVersion);

int MigrateJournal(SqliteDatabase& db, long long& version) {
    int result = db.QueryInteger("PRAGMA user_version", version);
    if (result != SQLITE_OK) {
        return result;
    }
    for (const Migration& step : kMigrations) {
        if (version >= step.version) {
            continue;
        }
        SqliteTransaction transaction(db);
        if (transaction.began() != SQLITE_OK) {
            return transaction.began();
        }
        // Another process may have taken the same step while we waited
        // for the write lock.
        result = db.QueryInteger("PRAGMA user_version", version);
        if (result != SQLITE_OK) {
            return result;
        }
        if (version >= step.version) {
            continue;
        }
        // The version is one of the constants above, not data.
        std::string setVersion = "PRAGMA user_version = " + std::to_string(step.version);
        if ((result = db.Execute(step.sql)) != SQLITE_OK ||
            (result = db.Execute(setVersion.c_str())) != SQLITE_OK ||
            (result = transaction.Commit()) != SQLITE_OK) {
            return result;
        }
        version = step.version;
    }
    return SQLITE_OK;
}

}  // namespace k57
