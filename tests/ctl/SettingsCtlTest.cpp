// k57ctl's settings changes against the simulated unit: no change without a
// backup, every write read back and judged, settings files in UTF-8 or
// Windows-1251, and the values the unit needs right.

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <thread>

#include <QDir>
#include <QFile>

#include "CtlProcess.h"
#include "Journal.h"
#include "Messages.h"
#include "SimulatedUnits.h"

using namespace orvan::tms::messages;
using Fault = k57::sim::UnitOptions::Fault;
using k57::test::Count;

namespace {

const char kUnitSettings[] = "MicLevel=10\nNameBT=\xC0\xE2\xF2\xEE\n";  // "Авто"

class SettingsCtlTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override { k57::StoredPort::Write("COM5"); }

    k57::test::CtlRun Ctl(const QStringList& args) { return k57::test::RunCtl(args, settings_); }
    QString File(const QByteArray& bytes, const char* name = "s.txt") {
        QString path = QString::fromStdString(dir_.path()) + "/" + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    static k57::JournalEntry LastEntry() {
        k57::Journal journal;
        std::optional<k57::JournalEntry> last;
        for (long long id = 1; auto entry = journal.Entry(id); ++id) {
            last = entry;
        }
        return last.value_or(k57::JournalEntry{});
    }
    k57::sim::Unit& Unit(const std::string& settings = kUnitSettings) {
        k57::sim::UnitOptions options;
        options.settings = settings;
        return Plug(5, options);
    }

    k57::test::TempDir dir_;
};

TEST_F(SettingsCtlTest, AFailedBackupStopsEveryChangeUnlessNoBackupIsGiven) {
    k57::sim::Unit& unit = Unit();
    QString file = File("MicLevel=3\r\n");
    // A unit that answers nothing at all is not changed without a backup
    // either: it may have been merely slow.
    unit.configure([](auto& o) { o.fault = Fault::Silent; });
    for (QStringList args : {QStringList{"settings", "write", file},
                             QStringList{"update", "sound", "--yes", "--port", "COM5"}}) {
        k57::test::CtlRun refused = Ctl(args);
        EXPECT_EQ(refused.code, 1) << args.join(' ').toStdString() << refused.err.toStdString();
        EXPECT_TRUE(refused.err.contains("--no-backup")) << refused.err.toStdString();
    }
    // "settings set" changes the settings it reads: unread, there is nothing
    // to change.
    EXPECT_EQ(Ctl({"settings", "set", "MicLevel=3"}).code, 3);
    EXPECT_EQ(Count(unit.requests(), kSettings), 0);
    EXPECT_EQ(Count(unit.requests(), kBeginWaveUpdate), 0);

    // A backup read but not kept, for the journal cannot be written.
    unit.configure([](auto& o) { o.fault = Fault::None; });
    QDir data(QString::fromStdString(settings_.directory()));
    data.remove("journal.sqlite3");
    ASSERT_TRUE(data.mkpath("journal.sqlite3"));
    for (QStringList args :
         {QStringList{"settings", "write", file}, QStringList{"settings", "set", "MicLevel=3"}}) {
        k57::test::CtlRun refused = Ctl(args);
        EXPECT_EQ(refused.code, 1) << args.join(' ').toStdString() << refused.err.toStdString();
        EXPECT_TRUE(refused.err.contains("--no-backup")) << refused.err.toStdString();
    }
    EXPECT_EQ(unit.settings(), kUnitSettings);
    k57::test::CtlRun forced = Ctl({"settings", "set", "--no-backup", "MicLevel=3"});
    EXPECT_EQ(forced.code, 0) << forced.err.toStdString();
    EXPECT_EQ(unit.settings(), "NameBT=\xC0\xE2\xF2\xEE\nMicLevel=3\n");
}

TEST_F(SettingsCtlTest, AWriteIsConfirmedByReadingItBack) {
    k57::sim::Unit& unit = Unit();
    k57::test::CtlRun write = Ctl({"settings", "write", File("MicLevel=3\r\n")});
    EXPECT_EQ(write.code, 0) << write.err.toStdString();
    EXPECT_TRUE(write.err.contains("confirmed")) << write.err.toStdString();
    EXPECT_EQ(Count(unit.requests(), kReqSettings), 2);  // the backup and the check
    EXPECT_EQ(LastEntry().detail.find("written and confirmed") != std::string::npos, true)
        << LastEntry().detail;

    // The acknowledgement lost on its way: the settings read back tell
    // that the unit took them.
    unit.configure([](auto& o) {
        o.fault = Fault::Silent;
        o.faultCodes = {kSettings};
    });
    k57::test::CtlRun unacknowledged = Ctl({"settings", "set", "KickSens=5"});
    EXPECT_EQ(unacknowledged.code, 0) << unacknowledged.err.toStdString();
    EXPECT_TRUE(unacknowledged.err.contains("confirmed")) << unacknowledged.err.toStdString();
    EXPECT_EQ(unit.settings(), "MicLevel=3\nKickSens=5\n");
}

TEST_F(SettingsCtlTest, AWriteTheUnitDidNotTakeOrThatCannotBeReadBackIsNotConfirmed) {
    k57::sim::Unit& unit = Unit();
    unit.configure([](auto& o) { o.keepSettingsOnWrite = true; });
    for (QStringList args : {QStringList{"settings", "write", File("MicLevel=3\r\nKickSens=2\r\n")},
                             QStringList{"settings", "set", "KickSens=2"}}) {
        k57::test::CtlRun differs = Ctl(args);
        EXPECT_EQ(differs.code, 7) << args.join(' ').toStdString() << differs.err.toStdString();
        EXPECT_TRUE(differs.err.contains("KickSens")) << differs.err.toStdString();
        EXPECT_TRUE(LastEntry().detail.find("KickSens") != std::string::npos) << LastEntry().detail;
        EXPECT_NE(LastEntry().result, k57::JournalResult::Ok);
    }

    // Taken, but the unit will not say what it holds now.
    unit.configure([](auto& o) {
        o.keepSettingsOnWrite = false;
        o.fault = Fault::Silent;
        o.faultCodes = {kReqSettings};
    });
    k57::test::CtlRun unknown = Ctl({"settings", "write", "--no-backup", File("MicLevel=4\r\n")});
    EXPECT_EQ(unknown.code, 7) << unknown.err.toStdString();
    EXPECT_TRUE(unknown.err.contains("k57ctl settings read")) << unknown.err.toStdString();
    EXPECT_EQ(unit.settings(), "MicLevel=4\n");
}

// --lang ru says the commands' closing lines in Russian too, not only the
// checks; the exit codes are the same.
TEST_F(SettingsCtlTest, RussianClosingLinesUnderLangRu) {
    Unit();
    QString file = File("MicLevel=3\r\n");
    k57::test::CtlRun checked = Ctl({"--lang", "ru", "settings", "write", "--dry-run", file});
    EXPECT_EQ(checked.code, 0);
    EXPECT_EQ(checked.err, file + ": все строки допустимы\n");
    k57::test::CtlRun set = Ctl({"--lang", "ru", "settings", "set", "KickSens=5"});
    EXPECT_EQ(set.code, 0) << set.err.toStdString();
    EXPECT_TRUE(
        set.err.endsWith("в устройство записаны параметры (1) и подтверждены: "
                         "прочитанные из устройства совпадают\n"))
        << set.err.toStdString();
    k57::test::CtlRun refused = Ctl({"--lang", "ru", "settings", "set", "MicLevel=99"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(
        refused.err.endsWith("k57ctl: недопустимых присваиваний: 1; устройство не изменено\n"))
        << refused.err.toStdString();
    // The update's line, its rate's unit included.
    k57::test::CtlRun update = Ctl({"--lang", "ru", "update", "sound", "--yes", "--no-backup"});
    EXPECT_EQ(update.code, 0) << update.err.toStdString();
    QRegularExpression done(
        "готово, устройство подтвердило запись \\(\\d+ байт в \\d+ "
        "фрагментах, [0-9.]+ КБ/с\\)\n$");
    EXPECT_TRUE(done.match(update.err).hasMatch()) << update.err.toStdString();
    // In English, as before.
    EXPECT_EQ(Ctl({"settings", "write", "--dry-run", file}).err, file + ": every line is valid\n");
}

// Pulled out while its write is on its way: said as a lost line, with what
// to do, not as a unit that stayed silent; the exit code is the unconfirmed
// write's.
TEST_F(SettingsCtlTest, AUnitPulledDuringTheWriteIsToldAsALostConnection) {
    k57::sim::Unit& unit = Unit();
    unit.configure([](auto& o) { o.hangUpOnSettingsWrite = true; });
    std::thread pull([&] {
        if (k57::test::WaitUntil([&] { return Count(unit.requests(), kSettings) == 1; }, 60000)) {
            unit.Unplug();
        }
    });
    k57::test::CtlRun lost = Ctl({"settings", "write", File("MicLevel=4\r\n")});
    pull.join();
    EXPECT_EQ(lost.code, 7) << lost.err.toStdString();
    EXPECT_TRUE(
        lost.err.contains("COM5: the connection was lost during the write; read the "
                          "settings to check"))
        << lost.err.toStdString();
    EXPECT_FALSE(lost.err.contains("no reply")) << lost.err.toStdString();
}

TEST_F(SettingsCtlTest, AUtf8FileGivesTheUnitBackItsOwnText) {
    k57::sim::Unit& unit = Unit();
    k57::test::CtlRun read = Ctl({"settings", "read"});
    ASSERT_EQ(read.code, 0);
    QString file = File(read.out.toUtf8(), "utf8.txt");
    unit.configure([](auto& o) { o.settings.clear(); });
    k57::test::CtlRun write = Ctl({"settings", "write", file});
    EXPECT_EQ(write.code, 0) << write.err.toStdString();
    EXPECT_EQ(unit.settings(), "NameBT=\xC0\xE2\xF2\xEE\nMicLevel=10\n");

    // A byte order mark, as some editors write one, is no part of a key.
    unit.configure([](auto& o) { o.settings.clear(); });
    write = Ctl({"settings", "write", File("\xEF\xBB\xBFNameBT=Лада\r\n", "bom.txt")});
    EXPECT_EQ(write.code, 0) << write.err.toStdString();
    EXPECT_EQ(unit.settings(), "NameBT=\xCB\xE0\xE4\xE0\n");

    // A character the unit cannot show is refused by its line.
    k57::test::CtlRun refused =
        Ctl({"settings", "write", File("MicLevel=3\nNameBT=Лада 日本\n", "cjk.txt")});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(refused.err.contains("cjk.txt:2: NameBT: has characters the unit's code page"))
        << refused.err.toStdString();
    EXPECT_EQ(unit.settings(), "NameBT=\xCB\xE0\xE4\xE0\n");
}

TEST_F(SettingsCtlTest, PinAndPhoneNumbersMustBeWhatTheUnitUses) {
    k57::sim::Unit& unit = Unit();
    k57::test::CtlRun refused =
        Ctl({"settings", "set", "PinCod=abcd", "UserNumber2=call me maybe", "UserNumber3=+7123"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(refused.err.contains("PinCod: \"abcd\" is not four digits"))
        << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains("UserNumber2: \"call me maybe\" is not + and digits"))
        << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains("UserNumber3: shorter than 12")) << refused.err.toStdString();
    k57::test::CtlRun russian = Ctl({"--lang", "ru", "settings", "write", "--dry-run",
                                     File("PinCod=12a4\r\nUserNumber1=8-916-123-45-67\r\n")});
    EXPECT_EQ(russian.code, 1);
    EXPECT_TRUE(russian.err.contains("PinCod: 12a4 - PIN-код: четыре цифры"))
        << russian.err.toStdString();
    EXPECT_TRUE(russian.err.contains("UserNumber1: 8-916-123-45-67 - номер телефона: + и цифры"))
        << russian.err.toStdString();
    EXPECT_EQ(Ctl({"settings", "set", "PinCod=0042", "UserNumber4=+79161234567"}).code, 0);
    EXPECT_EQ(Ctl({"settings", "set", "PinCod="}).code, 0);  // empty: none set

    // A unit that holds such a value already is read as it is, and told.
    unit.configure([](auto& o) { o.settings = "PinCod=abcd\n"; });
    k57::test::CtlRun read = Ctl({"settings", "read"});
    EXPECT_EQ(read.code, 0);
    EXPECT_EQ(read.out, "PinCod=abcd\n");
    EXPECT_TRUE(read.err.contains("unit:1: PinCod:")) << read.err.toStdString();
}

TEST_F(SettingsCtlTest, AFileThatSetsNothingIsNotSentUnlessYesIsGiven) {
    k57::sim::Unit& unit = Unit();
    for (QByteArray empty : {QByteArray(), QByteArray("\r\n\r\n")}) {
        k57::test::CtlRun refused = Ctl({"settings", "write", File(empty)});
        EXPECT_EQ(refused.code, 1) << refused.err.toStdString();
        EXPECT_TRUE(refused.err.contains("--yes")) << refused.err.toStdString();
    }
    EXPECT_EQ(Count(unit.requests(), kSettings), 0);
    EXPECT_EQ(unit.settings(), kUnitSettings);
    k57::test::CtlRun reset = Ctl({"settings", "write", "--yes", File("")});
    EXPECT_EQ(reset.code, 0) << reset.err.toStdString();
    EXPECT_EQ(unit.settings(), "");
}

TEST_F(SettingsCtlTest, SetKeepsTheLinesTheCatalogueDoesNotKnow) {
    k57::sim::Unit& unit = Unit("Foo=\xC1\xE0\xF0\nMicLevel=10\n");  // Foo=Бар
    k57::test::CtlRun set = Ctl({"settings", "set", "KickSens=5"});
    EXPECT_EQ(set.code, 0) << set.err.toStdString();
    EXPECT_EQ(unit.settings(), "MicLevel=10\nKickSens=5\nFoo=\xC1\xE0\xF0\n");
}

}  // namespace
