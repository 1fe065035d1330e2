// The journal's records as they go in and come out: bytes kept exactly,
// the units list and its filter, timelines, backups, CSV, the schema's
// versions, and where the file lives.

#include <gtest/gtest.h>

#include <QDir>
#include <QtGlobal>
#include <sstream>

#include "JournalSchema.h"
#include "JournalTestSupport.h"

using namespace k57;
using k57::test::JournalFolder;
using k57::test::Operation;

namespace {

TEST(JournalTest, AnEntryComesBackByteForByte) {
    JournalFolder folder;
    Journal journal(folder.path());
    ASSERT_TRUE(journal.Available()) << journal.Status().message;

    JournalEntry write = Operation(4000000001u, JournalOperation::WriteSettings);
    write.timeMs = 1714555800123;
    write.unitType = "\xCA\xE0\xEB\xE8\xED\xE0";  // Windows-1251, not UTF-8
    write.detail = "written, 3 lines";
    write.toolVersion = "k57tool 9.9";
    write.before = std::string("PinCod=1234\r\nNameBT=\xCB\xE0\xE4\xE0\0x", 26);  // a NUL inside
    write.after = "";  // every value at its default: a text, not none
    long long id = journal.Record(write);
    ASSERT_GT(id, 0);

    std::optional<JournalEntry> read = journal.Entry(id);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->id, id);
    EXPECT_EQ(read->timeMs, 1714555800123);
    EXPECT_EQ(read->serial, 4000000001u);
    EXPECT_EQ(read->unitType, write.unitType);
    EXPECT_EQ(read->firmware, "000.008");
    EXPECT_EQ(read->operation, JournalOperation::WriteSettings);
    EXPECT_EQ(read->port, "COM5");
    EXPECT_EQ(read->result, JournalResult::Ok);
    EXPECT_EQ(read->detail, "written, 3 lines");
    EXPECT_EQ(read->toolVersion, "k57tool 9.9");
    EXPECT_EQ(read->frontEnd, JournalFrontEnd::Ctl);
    EXPECT_EQ(read->before, write.before);
    EXPECT_EQ(read->after, std::string());

    // Left out: stamped now, this build's version, no serial, no texts.
    JournalEntry failed;
    failed.operation = JournalOperation::Identify;
    failed.result = JournalResult::PortUnavailable;
    std::optional<JournalEntry> stamped = journal.Entry(journal.Record(failed));
    ASSERT_TRUE(stamped);
    EXPECT_FALSE(stamped->serial);
    EXPECT_GT(stamped->timeMs, 1714555800123);
    EXPECT_EQ(stamped->toolVersion.rfind("k57tool ", 0), 0u);
    EXPECT_FALSE(stamped->before);
    EXPECT_FALSE(stamped->after);
    EXPECT_FALSE(journal.Entry(id + 100));
    EXPECT_EQ(journal.TakeProblem(), "");
}

TEST(JournalTest, StoredTextsAreStableAndRepeatedSettingsAreKeptOnce) {
    EXPECT_STREQ(JournalText(JournalOperation::FirmwareUpdate), "firmware update");
    EXPECT_STREQ(JournalText(JournalOperation::Backup), "backup");
    EXPECT_STREQ(JournalText(JournalResult::PortUnavailable), "port unavailable");
    EXPECT_STREQ(JournalText(JournalFrontEnd::Ctl), "k57ctl");
    EXPECT_EQ(JournalResultFor(-2), JournalResult::NoReply);
    EXPECT_EQ(JournalResultFor(1), JournalResult::Ok);
    EXPECT_EQ(JournalOperationFrom("set id"), JournalOperation::SetId);
    EXPECT_FALSE(JournalOperationFrom("Set ID"));

    JournalFolder folder;
    Journal journal(folder.path());
    std::string settings(1000, 'x');
    for (int i = 0; i < 5; ++i) {
        JournalEntry backup = Operation(7, JournalOperation::Backup);
        backup.before = settings;
        journal.Record(backup);
    }
    JournalEntry write = Operation(7, JournalOperation::WriteSettings);
    write.before = settings;
    write.after = settings + "y";
    journal.Record(write);
    EXPECT_EQ(folder.Count("SELECT count(*) FROM settings_texts"), 2);
    EXPECT_EQ(folder.Count("SELECT count(*) FROM entries"), 6);
    EXPECT_EQ(journal.Timeline(7).back().after, settings + "y");
}

TEST(JournalTest, UnitsAreSummedUpAndFilteredAsTyped) {
    JournalFolder folder;
    Journal journal(folder.path());
    auto record = [&](uint32_t serial, long long time, const char* firmware) {
        JournalEntry entry = Operation(serial, JournalOperation::Identify);
        entry.timeMs = time;
        entry.firmware = firmware;
        return journal.Record(entry);
    };
    record(123450, 1000, "000.007");
    record(123450, 3000, "000.008");
    record(123450, 4000, "");  // failed before the unit answered
    record(912345, 5000, "000.008");
    record(555, 2000, "000.001");
    JournalEntry anonymous;
    anonymous.result = JournalResult::NoReply;
    journal.Record(anonymous);

    std::vector<UnitSummary> all = journal.Units();
    ASSERT_EQ(all.size(), 3u);          // the entry without a serial belongs to no unit
    EXPECT_EQ(all[0].serial, 912345u);  // last seen first
    EXPECT_EQ(all[1].serial, 123450u);
    EXPECT_EQ(all[1].operations, 3);
    EXPECT_EQ(all[1].lastSeenMs, 4000);
    EXPECT_EQ(all[1].firmware, "000.008");
    EXPECT_EQ(all[1].unitType, "K57BT");

    std::vector<UnitSummary> typed = journal.Units("1234");
    ASSERT_EQ(typed.size(), 2u);
    EXPECT_EQ(typed[0].serial, 123450u);  // begins with it, so before a later one
    EXPECT_EQ(typed[1].serial, 912345u);
    EXPECT_TRUE(journal.Units("%").empty());  // taken literally, not as a pattern
    EXPECT_TRUE(journal.Units("_").empty());
    EXPECT_EQ(journal.Units("555").size(), 1u);
}

TEST(JournalTest, TimelineAndLatestBackupFollowTheOrderOfRecording) {
    JournalFolder folder;
    Journal journal(folder.path());
    for (const char* text : {"MicLevel=3\n", "MicLevel=4\n"}) {
        JournalEntry backup = Operation(42, JournalOperation::Backup);
        backup.before = text;
        backup.timeMs = 9000;  // a clock set back must not reorder them
        journal.Record(backup);
        journal.Record(Operation(42, JournalOperation::WriteSettings));
    }
    journal.Record(Operation(43, JournalOperation::Backup));
    std::vector<JournalEntry> timeline = journal.Timeline(42);
    ASSERT_EQ(timeline.size(), 4u);
    EXPECT_LT(timeline[0].id, timeline[3].id);
    EXPECT_EQ(timeline[1].operation, JournalOperation::WriteSettings);
    std::optional<JournalEntry> latest = journal.LatestBackup(42);
    ASSERT_TRUE(latest);
    EXPECT_EQ(latest->before, "MicLevel=4\n");
    EXPECT_FALSE(journal.LatestBackup(44));
    EXPECT_TRUE(journal.Timeline(44).empty());
}

TEST(JournalTest, CsvIsQuotedMaskedUnlessRevealedAndNeverAFormula) {
    JournalFolder folder;
    Journal journal(folder.path());
    JournalEntry entry = Operation(77, JournalOperation::ReadSettings);
    entry.timeMs = 1714555800123;
    entry.unitType = "\xCB\xE0\xE4\xE0";
    entry.detail = "=HYPERLINK(\"x\")";
    entry.after = "PinCod=1234\nUserNumber1=+79161234567\nMicLevel=9\n";
    journal.Record(entry);

    std::ostringstream masked;
    std::string error;
    ASSERT_TRUE(journal.ExportCsv(masked, false, error)) << error;
    EXPECT_EQ(masked.str(),
              "\xEF\xBB\xBFid,time,serial,type,firmware,operation,port,result,detail,tool,front "
              "end,settings before,settings after\r\n"
              "1,2024-05-01T09:30:00.123Z,77,Лада,000.008,read settings,COM5,ok,"
              "\"'=HYPERLINK(\"\"x\"\")\"," +
                  journal.Entry(1)->toolVersion +
                  ",k57ctl,,\"PinCod=****\nUserNumber1=**********67\nMicLevel=9\n\"\r\n");
    std::ostringstream revealed;
    ASSERT_TRUE(journal.ExportCsv(revealed, true, error));
    EXPECT_NE(revealed.str().find("PinCod=1234\nUserNumber1=+79161234567"), std::string::npos);

    std::string file = folder.folder() + "/out.csv";
    ASSERT_TRUE(journal.ExportCsv(file, false, error)) << error;
    EXPECT_FALSE(journal.ExportCsv(folder.folder() + "/no/such/folder/out.csv", false, error));
    EXPECT_NE(error.find("no/such/folder"), std::string::npos);
}

TEST(JournalTest, TheFileLivesInTheDataFolderThatTheEnvironmentNames) {
    JournalFolder folder;
    std::string nested = folder.folder() + "/a/b";
    const QByteArray own = qgetenv("K57_DATA_DIR");  // given back for the tests after this one
    qputenv("K57_DATA_DIR", QByteArray::fromStdString(nested));
    EXPECT_EQ(Journal::DefaultPath(), nested + "/journal.sqlite3");
    {
        Journal journal;  // makes the folders it needs
        EXPECT_TRUE(journal.Available()) << journal.Status().message;
        EXPECT_GT(journal.Record(Operation(1, JournalOperation::Restart)), 0);
    }
    qunsetenv("K57_DATA_DIR");
    EXPECT_TRUE(QDir(QString::fromStdString(nested)).exists("journal.sqlite3"));
    EXPECT_NE(Journal::DefaultPath(), nested + "/journal.sqlite3");
    EXPECT_NE(Journal::DefaultPath().find("k57tool/journal.sqlite3"), std::string::npos);
    qputenv("K57_DATA_DIR", own);
}

// The first released schema, written out by hand: later builds must keep
// reading what it stored.
const char* const kVersion1 = R"sql(
CREATE TABLE settings_texts (id INTEGER PRIMARY KEY, hash INTEGER NOT NULL, bytes BLOB NOT NULL);
CREATE INDEX settings_texts_by_hash ON settings_texts (hash);
CREATE TABLE entries (id INTEGER PRIMARY KEY, time_ms INTEGER NOT NULL, serial INTEGER,
    unit_type BLOB NOT NULL, firmware BLOB NOT NULL, operation TEXT NOT NULL, port TEXT NOT NULL,
    result TEXT NOT NULL, detail TEXT NOT NULL, tool_version TEXT NOT NULL,
    front_end TEXT NOT NULL, before_id INTEGER REFERENCES settings_texts (id),
    after_id INTEGER REFERENCES settings_texts (id));
CREATE INDEX entries_by_unit ON entries (serial, id);
INSERT INTO settings_texts VALUES (1, 0, x'4D69634C6576656C3D390A');
INSERT INTO entries VALUES (1, 1600000000000, 31337, x'4B3537', x'3030302E303031', 'backup',
    'COM3', 'ok', '', 'k57tool 1.0', 'window', 1, NULL);
PRAGMA user_version = 1;
)sql";

TEST(JournalTest, SchemaIsMadeFromNothingKeptFromVersionOneAndANewerOneIsLeftAlone) {
    {
        JournalFolder folder;
        Journal journal(folder.path());
        ASSERT_TRUE(journal.Available());
        EXPECT_EQ(folder.Count("PRAGMA user_version"), kJournalSchemaVersion);
        EXPECT_EQ(folder.Count("SELECT count(*) FROM entries"), 0);
    }
    {
        JournalFolder folder;
        {
            SqliteDatabase db;
            ASSERT_EQ(db.Open(folder.path()), 0);
            ASSERT_EQ(db.Execute(kVersion1), 0) << db.error();
        }
        Journal journal(folder.path());
        ASSERT_TRUE(journal.Available()) << journal.Status().message;
        std::optional<JournalEntry> old = journal.LatestBackup(31337);
        ASSERT_TRUE(old);
        EXPECT_EQ(old->before, "MicLevel=9\n");
        EXPECT_EQ(old->unitType, "K57");
        EXPECT_EQ(old->frontEnd, JournalFrontEnd::Window);
        EXPECT_GT(journal.Record(Operation(31337, JournalOperation::Restore)), 1);
        ASSERT_EQ(journal.Units().size(), 1u) << journal.Status().message;
        EXPECT_EQ(journal.Units()[0].operations, 2);
        // Made before the journal could be shared: a UUID of its own now,
        // and it waits to be pushed with the new one.
        std::vector<JournalEntry> both = journal.Timeline(31337);
        ASSERT_EQ(both.size(), 2u);
        EXPECT_EQ(both[0].uuid.size(), 36u);
        EXPECT_EQ(both[0].uuid[14], '4');
        EXPECT_NE(both[0].uuid, both[1].uuid);
        EXPECT_TRUE(both[0].pc.empty());
        EXPECT_FALSE(both[1].pc.empty());
        EXPECT_EQ(journal.QueuedCount(), 2);
    }
    {
        JournalFolder folder;
        {
            SqliteDatabase db;
            ASSERT_EQ(db.Open(folder.path()), 0);
            ASSERT_EQ(db.Execute("CREATE TABLE later (x); PRAGMA user_version = 99;"), 0);
        }
        Journal journal(folder.path());
        EXPECT_FALSE(journal.Available());
        EXPECT_EQ(journal.Status().problem, JournalProblem::Newer);
        EXPECT_NE(journal.TakeProblem().find("newer version"), std::string::npos);
        EXPECT_EQ(journal.Record(Operation(1, JournalOperation::Restart)), 0);
        EXPECT_EQ(folder.Count("PRAGMA user_version"), 99);
        EXPECT_EQ(folder.Count("SELECT count(*) FROM later"), 0);
    }
}

}  // namespace
