// Measures the service journal: one entry with a 1 KB settings text,
// commit included (median of 1000; target 5 ms), and a journal of 100,000
// entries over 5,000 units: the time to open it and list the units whose
// serial begins with a typed prefix (target 200 ms), and its size on disk
// (target 150 MB).
//
//   build/default/bench/journal_bench [FOLDER]   (default: a folder in /tmp)

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "Journal.h"
#include "SqliteStatement.h"

using namespace k57;

namespace {

constexpr int kRecords = 1000;
constexpr int kUnits = 5000;
constexpr int kEntriesPerUnit = 20;

// About 1 KB, as a unit with most settings changed holds: `variant` changes
// a few values.
std::string SettingsText(int variant) {
    std::string text =
        "PinCod=5291\nUserNumber1=+79161234567\nUserNumber2=+79161234568\n"
        "NameBT=K57 " +
        std::to_string(variant) + "\n";
    for (int line = 0; text.size() < 1000; ++line) {
        text += "Key" + std::to_string(line) + "=" + std::to_string(variant * 7 + line) + "\n";
    }
    return text;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void RecordOne(const std::string& folder) {
    Journal journal(folder + "/one.sqlite3");
    std::vector<double> ms;
    for (int i = 0; i < kRecords; ++i) {
        JournalEntry entry;
        entry.serial = uint32_t(4000000000u + i % 10);
        entry.operation = JournalOperation::WriteSettings;
        entry.before = SettingsText(i);
        entry.after = SettingsText(i + 1);
        QElapsedTimer timer;
        timer.start();
        if (journal.Record(entry) == 0) {
            std::printf("record failed: %s\n", journal.Status().message.c_str());
            return;
        }
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf(
        "record, 1 KB settings, commit included: median %.2f ms, slowest %.2f ms "
        "(target 5 ms)\n",
        Median(ms), *std::max_element(ms.begin(), ms.end()));
}

// Fills in one transaction, as the journal lays entries out: half of each
// unit's entries are settings writes that leave a new text behind, the rest
// identifications and backups of the text in place.
bool Fill(const std::string& path) {
    { Journal make(path); }
    SqliteDatabase db;
    if (db.Open(path) != 0 || db.Execute("BEGIN") != 0) {
        return false;
    }
    SqliteStatement text(db, "INSERT INTO settings_texts (hash, bytes) VALUES (?1, ?2)");
    SqliteStatement entry(
        db,
        "INSERT INTO entries (time_ms, serial, unit_type, firmware, operation, port, result, "
        "detail, tool_version, front_end, before_id, after_id) "
        "VALUES (?1, ?2, 'K57BT', '000.008', ?3, 'COM5', 'ok', '', 'k57tool 1.0', 'window', "
        "?4, ?5)");
    long long time = 1700000000000;
    for (int unit = 0; unit < kUnits; ++unit) {
        long long current = 0;
        for (int i = 0; i < kEntriesPerUnit; ++i) {
            bool write = i % 2 == 1;
            long long after = 0;
            if (write || current == 0) {
                text.Bind(1, unit * 100 + i);
                text.BindBlob(2, SettingsText(unit * 100 + i));
                text.Step();
                text.Reset();
                after = db.LastInsertId();
            }
            entry.Bind(1, time += 60000);
            entry.Bind(2, 4000000000ll + unit * 37);
            entry.BindText(3, write ? "write settings" : i % 4 == 0 ? "identify" : "backup");
            current != 0 ? entry.Bind(4, current) : entry.BindNull(4);
            after != 0 ? entry.Bind(5, after) : entry.BindNull(5);
            if (entry.Step() != 101 /* SQLITE_DONE */) {
                std::printf("fill failed: %s\n", db.error().c_str());
                return false;
            }
            entry.Reset();
            current = after != 0 ? after : current;
        }
    }
    return db.Execute("COMMIT") == 0;
}

void OpenAndFilter(const std::string& folder) {
    std::string path = folder + "/big.sqlite3";
    if (!Fill(path)) {
        return;
    }
    for (const char* typed : {"4000001", "40000", "123"}) {
        QElapsedTimer timer;
        timer.start();
        Journal journal(path);
        std::vector<UnitSummary> units = journal.Units(typed);
        std::printf(
            "open and list the units matching \"%s\" of %d: %zu unit(s), %.1f ms "
            "(target 200 ms)\n",
            typed, kUnits, units.size(), double(timer.nsecsElapsed()) / 1e6);
    }
    QElapsedTimer timer;
    timer.start();
    Journal journal(path);
    size_t all = journal.Units().size();
    size_t steps = journal.Timeline(4000000037u).size();
    std::printf("open, list all %zu units and one timeline of %zu: %.1f ms\n", all, steps,
                double(timer.nsecsElapsed()) / 1e6);
    long long bytes = QFileInfo(QString::fromStdString(path)).size() +
                      QFileInfo(QString::fromStdString(path + "-wal")).size();
    std::printf("%d entries over %d units: %.1f MB on disk (target 150 MB)\n",
                kUnits * kEntriesPerUnit, kUnits, double(bytes) / 1e6);
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir temporary;
    std::string folder = argc > 1 ? argv[1] : temporary.path().toStdString();
    QDir().mkpath(QString::fromStdString(folder));
    // Whatever would open the default journal opens one in the folder.
    qputenv("K57_DATA_DIR", QByteArray::fromStdString(folder));
    RecordOne(folder);
    OpenAndFilter(folder);
    return 0;
}
