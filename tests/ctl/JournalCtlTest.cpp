// k57ctl keeps the service journal: every operation on a unit recorded, a
// backup before every change (refused without one unless --no-backup), and
// the settings a firmware update reset written back with --restore or by
// "k57ctl restore".

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>

#include "CtlProcess.h"
#include "Journal.h"
#include "Messages.h"
#include "SimulatedUnits.h"

using namespace orvan::tms::messages;
using Fault = k57::sim::UnitOptions::Fault;
using k57::JournalEntry;
using k57::JournalOperation;
using k57::JournalResult;

namespace {

using k57::test::Count;

const char kJournalUnitSettings[] = "MicLevel=10\nNameBT=\xCB\xE0\xE4\xE0\n";

class JournalCtlTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override { k57::StoredPort::Write("COM5"); }

    k57::test::CtlRun Ctl(const QStringList& args) { return k57::test::RunCtl(args, settings_); }
    // Every entry, oldest first.
    static std::vector<JournalEntry> Entries() {
        k57::Journal journal;
        std::vector<JournalEntry> all;
        for (long long id = 1; auto entry = journal.Entry(id); ++id) {
            all.push_back(*entry);
        }
        return all;
    }
    static std::vector<JournalOperation> Operations() {
        std::vector<JournalOperation> operations;
        for (const JournalEntry& e : Entries()) {
            operations.push_back(e.operation);
        }
        return operations;
    }
    QString SettingsFile(const std::string& text) {
        QString path = QString::fromStdString(dir_.path()) + "/s.txt";
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.data(), qint64(text.size()));
        return path;
    }

    k57::test::TempDir dir_;
};

TEST_F(JournalCtlTest, AWriteIsBackedUpAndRecordedWithTheUnitsIdentity) {
    k57::sim::UnitOptions options;
    options.serial = 4000000001u;
    options.settings = kJournalUnitSettings;
    k57::sim::Unit& unit = Plug(5, options);
    ASSERT_EQ(Ctl({"info"}).code, 0);
    k57::test::CtlRun write = Ctl({"settings", "write", SettingsFile("MicLevel=3\r\n")});
    ASSERT_EQ(write.code, 0) << write.err.toStdString();
    EXPECT_EQ(unit.settings(), "MicLevel=3\n");

    std::vector<JournalEntry> entries = Entries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].operation, JournalOperation::Identify);
    const JournalEntry& backup = entries[1];
    const JournalEntry& written = entries[2];
    EXPECT_EQ(backup.operation, JournalOperation::Backup);
    EXPECT_EQ(backup.before, std::string(kJournalUnitSettings));
    EXPECT_EQ(written.operation, JournalOperation::WriteSettings);
    EXPECT_EQ(written.result, JournalResult::Ok);
    EXPECT_EQ(written.before, std::string(kJournalUnitSettings));
    EXPECT_EQ(written.after, std::string("MicLevel=3\n"));
    for (const JournalEntry& e : entries) {
        EXPECT_EQ(e.serial, 4000000001u);
        EXPECT_EQ(e.firmware, "000.008");
        EXPECT_EQ(e.unitType, "K57BT");
        EXPECT_EQ(e.port, "COM5");
        EXPECT_EQ(e.frontEnd, k57::JournalFrontEnd::Ctl);
        EXPECT_FALSE(e.toolVersion.empty());
    }
    // A failed operation is recorded too, with its result.
    unit.configure([](auto& o) { o.fault = Fault::WrongType; });
    EXPECT_EQ(Ctl({"info"}).code, 4);
    EXPECT_EQ(Entries().back().operation, JournalOperation::Identify);
    EXPECT_EQ(Entries().back().result, JournalResult::BadReply);
}

TEST_F(JournalCtlTest, WithoutABackupAChangeIsRefusedUnlessNoBackupIsGiven) {
    k57::sim::UnitOptions options;
    options.settings = kJournalUnitSettings;
    options.fault = Fault::WrongType;
    options.faultCodes = {kReqSettings};
    k57::sim::Unit& unit = Plug(5, options);
    QString file = SettingsFile("MicLevel=3\n");
    for (QStringList args :
         {QStringList{"settings", "write", file}, QStringList{"update", "sound", "--yes"},
          QStringList{"update", "firmware", "--yes"}}) {
        k57::test::CtlRun refused = Ctl(args);
        EXPECT_EQ(refused.code, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(refused.err.contains("--no-backup")) << refused.err.toStdString();
    }
    EXPECT_EQ(Count(unit.requests(), kSettings), 0);
    EXPECT_EQ(Count(unit.requests(), kBeginFirmwareUpdate), 0);
    EXPECT_EQ(Count(unit.requests(), kBeginWaveUpdate), 0);
    EXPECT_EQ(unit.settings(), kJournalUnitSettings);

    // Sent, but a unit that cannot say its settings cannot confirm them.
    k57::test::CtlRun forced = Ctl({"settings", "write", "--no-backup", file});
    ASSERT_EQ(forced.code, 7) << forced.err.toStdString();
    EXPECT_EQ(unit.settings(), "MicLevel=3\n");
    JournalEntry written = Entries().back();
    EXPECT_EQ(written.operation, JournalOperation::WriteSettings);
    EXPECT_FALSE(written.before);  // there was no backup
    EXPECT_EQ(Entries()[Entries().size() - 2].result, JournalResult::BadReply);
}

TEST_F(JournalCtlTest, SettingsResetByAFirmwareUpdateAreRestored) {
    k57::sim::UnitOptions options;
    options.settings = kJournalUnitSettings;
    options.resetSettingsOnFirmware = true;
    k57::sim::Unit& unit = Plug(5, options);
    k57::test::CtlRun update = Ctl({"update", "firmware", "--yes", "--restore"});
    ASSERT_EQ(update.code, 0) << update.err.toStdString();
    EXPECT_TRUE(update.err.contains("MicLevel): 10 -> 8")) << update.err.toStdString();
    EXPECT_EQ(unit.settings(), kJournalUnitSettings);
    EXPECT_EQ(Operations(),
              (std::vector{JournalOperation::Backup, JournalOperation::FirmwareUpdate,
                           JournalOperation::ReadSettings, JournalOperation::Restore}));
    JournalEntry restored = Entries().back();
    EXPECT_EQ(restored.firmware, "000.009");  // the unit as it is now
    EXPECT_EQ(restored.after, std::string(kJournalUnitSettings));
    EXPECT_EQ(restored.before, std::string());
}

TEST_F(JournalCtlTest, WithoutRestoreTheDifferencesAndTheCommandAreTold) {
    k57::sim::UnitOptions options;
    options.serial = 77;
    options.settings = kJournalUnitSettings;
    options.resetSettingsOnFirmware = true;
    k57::sim::Unit& unit = Plug(5, options);
    k57::test::CtlRun update = Ctl({"update", "firmware", "--yes"});
    ASSERT_EQ(update.code, 0) << update.err.toStdString();
    EXPECT_TRUE(update.err.contains("MicLevel): 10 -> 8"));
    EXPECT_TRUE(update.err.contains("k57ctl restore 1 does it now")) << update.err.toStdString();
    EXPECT_EQ(unit.settings(), "");

    // The backup, entry 1, goes back to the unit it is of and to no other.
    unit.configure([](auto& o) { o.serial = 78; });
    k57::test::CtlRun other = Ctl({"restore", "1", "--yes"});
    EXPECT_EQ(other.code, 1);
    EXPECT_TRUE(other.err.contains("entry 1 is of unit 77, the unit on COM5 is 78"));
    EXPECT_EQ(Count(unit.requests(), kSettings), 0);
    unit.configure([](auto& o) { o.serial = 77; });
    k57::test::CtlRun restore = Ctl({"restore", "1", "--yes"});
    ASSERT_EQ(restore.code, 0) << restore.err.toStdString();
    EXPECT_EQ(unit.settings(), kJournalUnitSettings);
    EXPECT_EQ(Entries().back().operation, JournalOperation::Restore);
    EXPECT_EQ(Ctl({"restore", "999", "--yes"}).code, 1);
}

TEST_F(JournalCtlTest, AJournalThatCannotBeWrittenIsToldOnceAndTheJobGoesOn) {
    // A folder where the journal file should be: it cannot be opened.
    QDir(QString::fromStdString(settings_.directory())).mkpath("journal.sqlite3");
    k57::sim::UnitOptions options;
    options.settings = kJournalUnitSettings;
    k57::sim::Unit& unit = Plug(5, options);
    k57::test::CtlRun write =
        Ctl({"settings", "write", "--no-backup", SettingsFile("MicLevel=3\n")});
    ASSERT_EQ(write.code, 0) << write.err.toStdString();
    EXPECT_EQ(unit.settings(), "MicLevel=3\n");
    EXPECT_EQ(write.err.count("service journal"), 1) << write.err.toStdString();
}

// "k57ctl restore" goes to the entry's own port (or --port), and writes
// nothing, reads nothing and records nothing where another unit answers.
TEST_F(JournalCtlTest, RestoreGoesToTheEntrysPortAndLeavesAnotherUnitAlone) {
    k57::sim::UnitOptions a;
    a.serial = 501;
    a.settings = kJournalUnitSettings;
    k57::sim::Unit& first = Plug(5, a);
    k57::sim::UnitOptions b;
    b.serial = 502;
    b.settings = "MicLevel=1\n";
    k57::sim::Unit& second = Plug(6, b);
    ASSERT_EQ(Ctl({"settings", "read"}).code, 0);  // entry 1: unit 501 on COM5
    first.configure([](auto& o) { o.settings = "MicLevel=2\n"; });
    k57::StoredPort::Write("COM6");

    k57::test::CtlRun restore = Ctl({"restore", "1", "--yes"});
    ASSERT_EQ(restore.code, 0) << restore.err.toStdString();
    EXPECT_EQ(first.settings(), kJournalUnitSettings);
    EXPECT_TRUE(second.requests().empty());

    size_t recorded = Entries().size();
    k57::test::CtlRun other = Ctl({"--port", "COM6", "restore", "1", "--yes"});
    EXPECT_EQ(other.code, 1);
    EXPECT_TRUE(other.err.contains("entry 1 is of unit 501, the unit on COM6 is 502"))
        << other.err.toStdString();
    EXPECT_EQ(Count(second.requests(), kReqSettings), 0);
    EXPECT_EQ(second.settings(), "MicLevel=1\n");
    EXPECT_EQ(Entries().size(), recorded);
}

TEST_F(JournalCtlTest, AnEntryOfNoKnownUnitIsWrittenOnlyWithYesNamingTheUnit) {
    k57::sim::UnitOptions options;
    options.serial = 601;
    options.settings = kJournalUnitSettings;
    options.fault = Fault::WrongType;
    options.faultCodes = {kReqIdInfo};
    k57::sim::Unit& unit = Plug(5, options);
    ASSERT_EQ(Ctl({"settings", "read"}).code, 0);
    ASSERT_FALSE(Entries().back().serial);  // the unit did not say who it is
    unit.configure([](auto& o) {
        o.fault = Fault::None;
        o.settings = "MicLevel=2\n";
    });

    k57::test::CtlRun refused = Ctl({"restore", "1"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(refused.err.contains("--yes")) << refused.err.toStdString();
    EXPECT_EQ(Count(unit.requests(), kReqSettings), 1);  // the first read only
    EXPECT_EQ(unit.settings(), "MicLevel=2\n");

    k57::test::CtlRun forced = Ctl({"restore", "1", "--yes"});
    ASSERT_EQ(forced.code, 0) << forced.err.toStdString();
    EXPECT_TRUE(forced.err.contains("unit 601 on COM5")) << forced.err.toStdString();
    EXPECT_EQ(unit.settings(), kJournalUnitSettings);
}

// The command told after an update names the --port it was given, quoted
// for the shell, and does the job when run as printed.
TEST_F(JournalCtlTest, TheRestoreCommandToldAfterAnUpdateRunsAsPrinted) {
    k57::sim::UnitOptions options;
    options.settings = kJournalUnitSettings;
    options.resetSettingsOnFirmware = true;
    k57::sim::Unit& unit = Plug(5, options);
    k57::StoredPort::Write("COM9");  // nothing there
    QString port = QString::fromStdString(dir_.path()) + "/bench port";
    ASSERT_TRUE(QFile::link(QString::fromStdString(unit.devicePath()), port));

    k57::test::CtlRun update = Ctl({"--port", port, "update", "firmware", "--yes"});
    ASSERT_EQ(update.code, 0) << update.err.toStdString();
    QString told = "k57ctl --port '" + port + "' restore 1";
    ASSERT_TRUE(update.err.contains(told + " does it now")) << update.err.toStdString();
    EXPECT_EQ(unit.settings(), "");

    QProcess shell;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(settings_.directory()));
    shell.setProcessEnvironment(env);
    shell.start("/bin/sh", {"-c", K57CTL_PATH + told.mid(6) + " --yes"});
    ASSERT_TRUE(shell.waitForFinished(60000));
    EXPECT_EQ(shell.exitCode(), 0) << shell.readAllStandardError().toStdString();
    EXPECT_EQ(unit.settings(), kJournalUnitSettings);
}

}  // namespace
