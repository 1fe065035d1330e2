#include "SqliteStatement.h"

#include <sqlite3.h>

namespace k57 {

SqliteStatement::SqliteStatement(SqliteDatabase& db, const char* sql) : db_(db), sql_(sql) {
    prepared_ = db.handle() != nullptr
                    ? sqlite3_prepare_v2(db.handle(), sql, -1, &statement_, nullptr)
                    : SQLITE_MISUSE;
    db_.Note(prepared_, sql);
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(statement_);
}

int SqliteStatement::Note(int result, const char* doing) {
    int primary = result & 0xff;
    if (primary == SQLITE_OK || primary == SQLITE_ROW || primary == SQLITE_DONE) {
        return db_.Note(result, doing);
    }
    return db_.Note(result, (std::string(doing) + " " + sql_).c_str());
}

int SqliteStatement::Bind(int index, long long value) {
    if (statement_ == nullptr) {
        return SQLITE_MISUSE;
    }
    return Note(sqlite3_bind_int64(statement_, index, value), "binding");
}

int SqliteStatement::BindText(int index, const std::string& text) {
    if (statement_ == nullptr) {
        return SQLITE_MISUSE;
    }
    return Note(
        sqlite3_bind_text(statement_, index, text.data(), int(text.size()), SQLITE_TRANSIENT),
        "binding");
}

int SqliteStatement::BindBlob(int index, const std::string& bytes) {
    if (statement_ == nullptr) {
        return SQLITE_MISUSE;
    }
    // A zero-length blob is a blob, not NULL: an empty settings text is a
    // text whose every value is the default.
    return Note(sqlite3_bind_blob(statement_, index, bytes.empty() ? "" : bytes.data(),
                                  int(bytes.size()), SQLITE_TRANSIENT),
                "binding");
}

int SqliteStatement::BindNull(int index) {
    if (statement_ == nullptr) {
        return SQLITE_MISUSE;
    }
    return Note(sqlite3_bind_null(statement_, index), "binding");
}

int SqliteStatement::BindBlob(int index, const std::optional<std::string>& bytes) {
    return bytes ? BindBlob(index, *bytes) : BindNull(index);
}

int SqliteStatement::Step() {
    if (statement_ == nullptr) {
        return SQLITE_MISUSE;
    }
    return Note(sqlite3_step(statement_), "running");
}

int SqliteStatement::Reset() {
    if (statement_ == nullptr) {
        return SQLITE_MISUSE;
    }
    return Note(sqlite3_reset(statement_), "resetting");
}

bool SqliteStatement::IsNull(int column) const {
    return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

long long SqliteStatement::Integer(int column) const {
    return sqlite3_column_int64(statement_, column);
}

std::string SqliteStatement::Text(int column) const {
    const unsigned char* text = sqlite3_column_text(statement_, column);
    int size = sqlite3_column_bytes(statement_, column);
    return text != nullptr ? std::string(reinterpret_cast<const char*>(text), size_t(size))
                           : std::string();
}

std::string SqliteStatement::Blob(int column) const {
    const void* bytes = sqlite3_column_blob(statement_, column);
    int size = sqlite3_column_bytes(statement_, column);
    return bytes != nullptr ? std::string(static_cast<const char*>(bytes), size_t(size))
                            : std::string();
}

std::optional<std::string> SqliteStatement::OptionalBlob(int column) const {
    if (IsNull(column)) {
        return std::nullopt;
    }
    return Blob(column);
}

}  // namespace k57
