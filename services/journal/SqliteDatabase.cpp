#include "SqliteDatabase.h"

#include <sqlite3.h>

#include <cstring>

namespace k57 {

SqliteDatabase::~SqliteDatabase() {
    Close();
}

int SqliteDatabase::Open(const std::string& path, bool create) {
    Close();
    int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    // A connection of our own, used from one thread at a time.
    flags |= SQLITE_OPEN_NOMUTEX;
    sqlite3* db = nullptr;
    int result = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
    if (result != SQLITE_OK) {
        error_ = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(result);
        error_ = "cannot open " + path + ": " + error_;
        errorCode_ = result;
        sqlite3_close(db);
        return result;
    }
    sqlite3_extended_result_codes(db, 1);
    db_ = db;
    error_.clear();
    errorCode_ = SQLITE_OK;
    return SQLITE_OK;
}

void SqliteDatabase::Close() {
    if (db_ != nullptr) {
        // Every statement is finalised by its owner first; close_v2 would
        // only defer the close if one were not.
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

int SqliteDatabase::Note(int result, const char* doing) {
    int primary = result & 0xff;
    if (primary == SQLITE_OK || primary == SQLITE_ROW || primary == SQLITE_DONE) {
        error_.clear();
        errorCode_ = SQLITE_OK;
        return result;
    }
    errorCode_ = result;
    error_ =
        std::string(doing) + ": " + (db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(result));
    return result;
}

int SqliteDatabase::Execute(const char* sql) {
    if (db_ == nullptr) {
        return Note(SQLITE_MISUSE, "no database");
    }
    return Note(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr), sql);
}

int SqliteDatabase::QueryInteger(const char* sql, long long& value) {
    if (db_ == nullptr) {
        return Note(SQLITE_MISUSE, "no database");
    }
    sqlite3_stmt* statement = nullptr;
    int result = sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr);
    if (result == SQLITE_OK) {
        result = sqlite3_step(statement);
        if (result == SQLITE_ROW) {
            value = sqlite3_column_int64(statement, 0);
            result = SQLITE_OK;
        } else if (result == SQLITE_DONE) {
            result = SQLITE_NOTFOUND;
        }
    }
    sqlite3_finalize(statement);
    return Note(result, sql);
}

int SqliteDatabase::SetBusyTimeout(int milliseconds) {
    if (db_ == nullptr) {
        return Note(SQLITE_MISUSE, "no database");
    }
    return Note(sqlite3_busy_timeout(db_, milliseconds), "busy timeout");
}

bool SqliteDatabase::BeginsAsDatabase() {
    sqlite3_file* file = nullptr;
    if (db_ == nullptr ||
        sqlite3_file_control(db_, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK ||
        file == nullptr || file->pMethods == nullptr) {
        return true;  // nothing to judge by; SQLite's own checks follow
    }
    sqlite3_int64 size = 0;
    if (file->pMethods->xFileSize(file, &size) != SQLITE_OK || size == 0) {
        return true;  // a new, empty file
    }
    static const char kMagic[16] = "SQLite format 3";
    char start[16] = {};
    int result = file->pMethods->xRead(file, start, sizeof start, 0);
    if (result != SQLITE_OK && result != SQLITE_IOERR_SHORT_READ) {
        return true;  // unreadable is not damaged; SQLite says what it is
    }
    return std::memcmp(start, kMagic, sizeof start) == 0;
}

long long SqliteDatabase::LastInsertId() const {
    return db_ != nullptr ? sqlite3_last_insert_rowid(db_) : 0;
}

SqliteTransaction::SqliteTransaction(SqliteDatabase& db)
    : db_(db), began_(db.Execute("BEGIN IMMEDIATE")) {
    open_ = began_ == SQLITE_OK;
}

SqliteTransaction::~SqliteTransaction() {
    if (open_) {
        // The error text of what failed stays for the caller's message.
        sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

int SqliteTransaction::Commit() {
    if (!open_) {
        return db_.Note(SQLITE_MISUSE, "commit without a transaction");
    }
    int result = db_.Execute("COMMIT");
    // A failed COMMIT (busy) leaves the transaction open; the destructor
    // rolls it back.
    if (result == SQLITE_OK) {
        open_ = false;
    }
    return result;
}

}  // namespace k57
