#pragma once

#include <string>

struct sqlite3;

namespace k57 {

// One connection to an SQLite database file. Nothing here throws: every
// call returns SQLite's result code, and the connection keeps the text of
// the last error for a message. Closed when the object goes.
class SqliteDatabase {
  public:
    SqliteDatabase() = default;
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    // Opens (and with `create`, makes) the file at `path` (UTF-8) for reading
    // and writing. On failure the connection stays closed and error() says why.
    int Open(const std::string& path, bool create = true);
    void Close();
    bool IsOpen() const { return db_ != nullptr; }

    // Runs SQL that takes no parameters and returns no rows (schema,
    // pragmas, transaction control). Never give it text made from data.
    int Execute(const char* sql);
    // The first column of the first row of a query without parameters, as an
    // integer ("PRAGMA user_version"); `value` is written only on success.
    int QueryInteger(const char* sql, long long& value);
    // How long a statement waits for another connection's lock before it
    // gives up with SQLITE_BUSY.
    int SetBusyTimeout(int milliseconds);

    // Whether the open file is empty or begins as every SQLite database
    // does, read through SQLite's own handle before any statement runs.
    // True when it cannot be read: SQLite's own checks then say what it is.
    bool BeginsAsDatabase();

    long long LastInsertId() const;
    // The last failure: SQLite's own words and, when known, what was being
    // done; empty after a success.
    const std::string& error() const { return error_; }
    int errorCode() const { return errorCode_; }

    // For SqliteStatement and SqliteTransaction.
    sqlite3* handle() const { return db_; }
    int Note(int result, const char* doing);

  private:
    sqlite3* db_ = nullptr;
    std::string error_;
    int errorCode_ = 0;
};

// A write transaction: begun IMMEDIATE so that the write lock is taken (or
// waited for) at the start, never half-way; rolled back when the object goes
// unless Commit() succeeded.
class SqliteTransaction {
  public:
    explicit SqliteTransaction(SqliteDatabase& db);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;

    // SQLITE_OK when the transaction has begun.
    int began() const { return began_; }
    int Commit();

  private:
    SqliteDatabase& db_;
    int began_;
    bool open_ = false;
};

}  // namespace k57
