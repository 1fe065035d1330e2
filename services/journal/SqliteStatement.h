#pragma once

#include <optional>
#include <string>

#include "SqliteDatabase.h"

struct sqlite3_stmt;

namespace k57 {

// One prepared statement; values go in only as bound parameters (numbered
// from 1), never as SQL text. Finalised when the object goes, which must be
// before its database closes. Failures are result codes, and the database
// keeps the error text.
class SqliteStatement {
  public:
    SqliteStatement(SqliteDatabase& db, const char* sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // SQLITE_OK when the statement was prepared.
    int prepared() const { return prepared_; }

    int Bind(int index, long long value);
    int BindText(int index, const std::string& text);
    // Bytes kept exactly as they are (Windows-1251 texts, settings).
    int BindBlob(int index, const std::string& bytes);
    int BindNull(int index);
    // A blob, or NULL when there is none.
    int BindBlob(int index, const std::optional<std::string>& bytes);

    // SQLITE_ROW with a row to read, SQLITE_DONE at the end, or an error.
    int Step();
    // Back to the start with the same bindings, for the next run.
    int Reset();

    bool IsNull(int column) const;
    long long Integer(int column) const;
    std::string Text(int column) const;
    std::string Blob(int column) const;
    // Nothing for NULL.
    std::optional<std::string> OptionalBlob(int column) const;

  private:
    int Note(int result, const char* doing);

    SqliteDatabase& db_;
    sqlite3_stmt* statement_ = nullptr;
    std::string sql_;
    int prepared_;
};

}  // namespace k57
