#include "Journal.h"

#include <sqlite3.h>

#include <QDateTime>
#include <ostream>

#include "JournalCsv.h"
#include "SqliteStatement.h"
#include "SafeSave.h"
#include "Version.h"
#include "Workstation.h"

namespace k57 {

namespace {

// Every column of an entry, its settings texts joined in; a query adds its
// own (constant) WHERE and ORDER BY.
constexpr const char* kEntryColumns =
    "SELECT e.id, e.time_ms, e.serial, e.unit_type, e.firmware, e.operation, e.port, "
    "e.result, e.detail, e.tool_version, e.front_end, b.bytes, a.bytes, e.uuid, e.pc, "
    "e.user_name, e.pulled FROM entries e "
    "LEFT JOIN settings_texts b ON b.id = e.before_id "
    "LEFT JOIN settings_texts a ON a.id = e.after_id ";

JournalEntry ReadEntry(const SqliteStatement& row) {
    JournalEntry entry;
    entry.id = row.Integer(0);
    entry.timeMs = row.Integer(1);
    if (!row.IsNull(2)) {
        entry.serial = uint32_t(row.Integer(2));
    }
    entry.unitType = row.Blob(3);
    entry.firmware = row.Blob(4);
    std::string operation = row.Text(5);
    entry.port = row.Text(6);
    std::string result = row.Text(7);
    entry.detail = row.Text(8);
    entry.toolVersion = row.Text(9);
    entry.frontEnd = row.Text(10) == JournalText(JournalFrontEnd::Ctl) ? JournalFrontEnd::Ctl
                                                                       : JournalFrontEnd::Window;
    entry.before = row.OptionalBlob(11);
    entry.after = row.OptionalBlob(12);
    entry.uuid = row.Text(13);
    entry.pc = row.Text(14);
    entry.user = row.Text(15);
    entry.pulled = row.Integer(16) != 0;
    // A text this build does not know is kept visible in the detail.
    if (auto known = JournalOperationFrom(operation)) {
        entry.operation = *known;
    } else {
        entry.detail = "[" + operation + "] " + entry.detail;
    }
    if (auto known = JournalResultFrom(result)) {
        entry.result = *known;
    } else {
        entry.result = JournalResult::BadReply;
        entry.detail = "[" + result + "] " + entry.detail;
    }
    return entry;
}

// FNV-1a: settings texts are found again by it, then compared byte for byte.
long long HashOf(const std::string& bytes) {
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char byte : bytes) {
        hash = (hash ^ byte) * 1099511628211ull;
    }
    return static_cast<long long>(hash);
}

bool IsSuccess(int result) {
    int primary = result & 0xff;
    return primary == SQLITE_OK || primary == SQLITE_DONE || primary == SQLITE_ROW;
}

// The typed text for "LIKE ... ESCAPE '!'", taken literally.
std::string LikeText(const std::string& typed) {
    std::string escaped;
    for (char c : typed) {
        if (c == '%' || c == '_' || c == '!') {
            escaped += '!';
        }
        escaped += c;
    }
    return escaped;
}

// The entry as it is kept: with its own UUID, and the PC and user that
// made it, unless it came with them (from the server).
JournalEntry Stamped(const JournalEntry& entry) {
    JournalEntry stamped = entry;
    if (stamped.uuid.empty()) {
        stamped.uuid = NewUuid();
    }
    if (stamped.pc.empty() && !stamped.pulled) {
        stamped.pc = ThisPc();
    }
    if (stamped.user.empty() && !stamped.pulled) {
        stamped.user = ThisUser();
    }
    if (stamped.timeMs == 0) {
        stamped.timeMs = QDateTime::currentMSecsSinceEpoch();
    }
    return stamped;
}

}  // namespace

long long Journal::Record(const JournalEntry& entry) {
    // A retry after a busy lock keeps the UUID it was given the first time.
    JournalEntry stamped = Stamped(entry);
    long long id = 0;
    return Write([&] { return Insert(stamped, id); }) ? id : 0;
}

bool Journal::Write(const std::function<int()>& work) {
    lastCallFailed_ = !status_.available;
    if (!status_.available) {
        return false;
    }
    int result = SQLITE_OK;
    // The busy time-out waits inside each attempt; a lock that outlasts
    // them all is somebody else's long job, and this write is given up.
    for (int attempt = 0; attempt < std::max(1, options_.busyAttempts); ++attempt) {
        SqliteTransaction transaction(db_);
        result = transaction.began();
        if (result == SQLITE_OK && (result = work()) == SQLITE_OK) {
            result = transaction.Commit();
        }
        if (ProblemOf(result) != JournalProblem::Busy) {
            break;
        }
    }
    if (result != SQLITE_OK) {
        Failed(result);
        return false;
    }
    Succeeded();
    return true;
}

int Journal::Insert(const JournalEntry& entry, long long& id) {
    long long beforeId = 0;
    long long afterId = 0;
    int result;
    if ((result = StoreSettings(entry.before, beforeId)) != SQLITE_OK ||
        (result = StoreSettings(entry.after, afterId)) != SQLITE_OK) {
        return result;
    }
    SqliteStatement insert(
        db_,
        "INSERT INTO entries (time_ms, serial, unit_type, firmware, operation, port, result, "
        "detail, tool_version, front_end, before_id, after_id, uuid, pc, user_name, pulled, "
        "pushed) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, "
        "?16)");
    if (insert.prepared() != SQLITE_OK) {
        return insert.prepared();
    }
    insert.Bind(1, entry.timeMs);
    if (entry.serial) {
        insert.Bind(2, *entry.serial);
    }
    insert.BindBlob(3, entry.unitType);
    insert.BindBlob(4, entry.firmware);
    insert.BindText(5, JournalText(entry.operation));
    insert.BindText(6, entry.port);
    insert.BindText(7, JournalText(entry.result));
    insert.BindText(8, entry.detail);
    insert.BindText(9, entry.toolVersion.empty() ? VersionText("k57tool") : entry.toolVersion);
    insert.BindText(10, JournalText(entry.frontEnd));
    if (beforeId != 0) {
        insert.Bind(11, beforeId);
    }
    if (afterId != 0) {
        insert.Bind(12, afterId);
    }
    insert.BindText(13, entry.uuid);
    insert.BindText(14, entry.pc);
    insert.BindText(15, entry.user);
    // What came from the server is on it already; what is made here waits
    // for a push.
    insert.Bind(16, entry.pulled ? 1 : 0);
    if ((result = insert.Step()) != SQLITE_DONE) {
        return result;
    }
    id = db_.LastInsertId();
    return SQLITE_OK;
}

int Journal::StoreSettings(const std::optional<std::string>& text, long long& id) {
    id = 0;
    if (!text) {
        return SQLITE_OK;
    }
    long long hash = HashOf(*text);
    SqliteStatement find(db_, "SELECT id, bytes FROM settings_texts WHERE hash = ?1");
    find.Bind(1, hash);
    int result;
    while ((result = find.Step()) == SQLITE_ROW) {
        if (find.Blob(1) == *text) {
            id = find.Integer(0);
            return SQLITE_OK;
        }
    }
    if (result != SQLITE_DONE) {
        return result;
    }
    SqliteStatement insert(db_, "INSERT INTO settings_texts (hash, bytes) VALUES (?1, ?2)");
    insert.Bind(1, hash);
    insert.BindBlob(2, *text);
    if ((result = insert.Step()) != SQLITE_DONE) {
        return result;
    }
    id = db_.LastInsertId();
    return SQLITE_OK;
}

template <typename Row>
int Journal::Select(const char* where, long long key, Row&& row) {
    SqliteStatement select(db_, (std::string(kEntryColumns) + where).c_str());
    select.Bind(1, key);
    int result;
    while ((result = select.Step()) == SQLITE_ROW) {
        if (!row(ReadEntry(select))) {
            return SQLITE_DONE;
        }
    }
    return result;
}

std::vector<JournalEntry> Journal::Timeline(uint32_t serial) {
    return Entries("WHERE e.serial = ?1 ORDER BY e.id", serial);
}

std::vector<JournalEntry> Journal::Entries(const char* where, long long key) {
    std::vector<JournalEntry> entries;
    lastCallFailed_ = !status_.available;
    if (status_.available) {
        int result = Select(where, key, [&](JournalEntry e) {
            entries.push_back(std::move(e));
            return true;
        });
        if (!IsSuccess(result)) {
            Failed(result);
            entries.clear();
        }
    }
    return entries;
}

std::optional<JournalEntry> Journal::Entry(long long id) {
    return One("WHERE e.id = ?1", id);
}

long long Journal::LatestId() {
    long long id = -1;
    if (!status_.available ||
        db_.QueryInteger("SELECT coalesce(max(id), 0) FROM entries", id) != SQLITE_OK) {
        return -1;
    }
    return id;
}

std::optional<JournalEntry> Journal::LatestBackup(uint32_t serial) {
    return One("WHERE e.serial = ?1 AND e.operation = 'backup' ORDER BY e.id DESC LIMIT 1", serial);
}

std::optional<JournalEntry> Journal::One(const char* where, long long key) {
    std::optional<JournalEntry> found;
    lastCallFailed_ = !status_.available;
    if (status_.available) {
        int result = Select(where, key, [&](JournalEntry e) {
            found = std::move(e);
            return false;
        });
        if (!IsSuccess(result)) {
            Failed(result);
        }
    }
    return found;
}

std::vector<UnitSummary> Journal::Units(const std::string& filter) {
    std::vector<UnitSummary> units;
    lastCallFailed_ = !status_.available;
    if (!status_.available) {
        return units;
    }
    int result;
    {
        // The type and firmware from the unit's latest entry that has them:
        // an operation that failed before the unit answered leaves them empty.
        SqliteStatement select(
            db_,
            "SELECT c.serial, "
            "(SELECT unit_type FROM entries WHERE serial = c.serial AND length(unit_type) > 0 "
            "ORDER BY id DESC LIMIT 1), "
            "(SELECT firmware FROM entries WHERE serial = c.serial AND length(firmware) > 0 "
            "ORDER BY id DESC LIMIT 1), "
            "c.last_seen, c.n FROM "
            "(SELECT serial, MAX(time_ms) AS last_seen, COUNT(*) AS n FROM entries "
            "WHERE serial IS NOT NULL AND CAST(serial AS TEXT) LIKE ?1 ESCAPE '!' "
            "GROUP BY serial) c "
            "ORDER BY CAST(c.serial AS TEXT) LIKE ?2 ESCAPE '!' DESC, c.last_seen DESC, "
            "c.serial");
        std::string typed = LikeText(filter);
        select.BindText(1, "%" + typed + "%");
        select.BindText(2, typed + "%");
        while ((result = select.Step()) == SQLITE_ROW) {
            UnitSummary unit;
            unit.serial = uint32_t(select.Integer(0));
            unit.unitType = select.Blob(1);
            unit.firmware = select.Blob(2);
            unit.lastSeenMs = select.Integer(3);
            unit.operations = select.Integer(4);
            units.push_back(std::move(unit));
        }
    }
    if (!IsSuccess(result)) {
        Failed(result);
    }
    return units;
}

bool Journal::ExportCsv(std::ostream& out, bool reveal, std::string& error) {
    return Export(
        [&](const std::string& text) {
            out << text;
            return bool(out);
        },
        reveal, error);
}

bool Journal::ExportCsv(const std::string& path, bool reveal, std::string& error) {
    SafeSaveFile file(path, SaveAccess::Private);  // with --reveal it holds PINs
    if (!file.Open()) {
        error = "cannot write " + path + ": " + file.error();
        return false;
    }
    bool exported = Export([&](const std::string& text) { return file.Write(text); }, reveal, error);
    if ((exported && !file.Commit()) || (!exported && error.empty())) {
        error = "cannot write " + path + ": " + file.error();
        return false;
    }
    return exported;
}

bool Journal::Export(const std::function<bool(const std::string&)>& write, bool reveal,
                     std::string& error) {
    error.clear();
    lastCallFailed_ = !status_.available;
    if (!status_.available) {
        error = status_.message;
        return false;
    }
    // A byte-order mark: spreadsheets on Windows take a CSV without one for
    // the local code page.
    bool written = write("\xEF\xBB\xBF" + JournalCsvHeader());
    int result = Select("WHERE e.id > ?1 ORDER BY e.id", 0, [&](const JournalEntry& e) {
        written = written && write(JournalCsvRow(e, reveal));
        return written;
    });
    if (!IsSuccess(result)) {
        Failed(result);
        error = status_.message;
        return false;
    }
    return written;
}

}  // namespace k57
