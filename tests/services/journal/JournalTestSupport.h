#pragma once

#include <string>

#include "Journal.h"
#include "SqliteStatement.h"
#include "TempDir.h"

namespace k57::test {

// A journal file in a fresh folder, and raw SQL on it for what the journal's
// own interface does not show.
class JournalFolder {
  public:
    std::string path() const { return dir_.path() + "/journal.sqlite3"; }
    const std::string& folder() const { return dir_.path(); }

    long long Count(const char* sql) const {
        SqliteDatabase db;
        long long value = -1;
        if (db.Open(path(), false) == 0) {
            db.QueryInteger(sql, value);
        }
        return value;
    }

  private:
    TempDir dir_;
};

inline JournalEntry Operation(uint32_t serial, JournalOperation operation,
                              JournalResult result = JournalResult::Ok) {
    JournalEntry entry;
    entry.serial = serial;
    entry.unitType = "K57BT";
    entry.firmware = "000.008";
    entry.operation = operation;
    entry.port = "COM5";
    entry.result = result;
    entry.frontEnd = JournalFrontEnd::Ctl;
    return entry;
}

}  // namespace k57::test
