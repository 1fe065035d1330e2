#pragma once

namespace k57 {

class SqliteDatabase;

// The journal's tables as this build writes them; PRAGMA user_version holds
// the version a file is at.
constexpr int kJournalSchemaVersion = 2;

// Brings the file up to kJournalSchemaVersion one step at a time, each
// step in its own transaction; an empty file starts at 0. `version` is what
// the file is at afterwards, which is above kJournalSchemaVersion when a
// newer build made it (then nothing is changed). An SQLite result code.
int MigrateJournal(SqliteDatabase& db, long long& version);

}  // namespace k57
