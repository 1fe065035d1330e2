// k57ctl history as a program over a journal the test fills: the units,
// one unit's operations, an entry, differences and the CSV export, masked
// unless revealed; and a journal that is damaged or cannot be had.

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <fstream>

#include "CtlProcess.h"
#include "DamagedJournal.h"
#include "Journal.h"

using namespace k57;

namespace {

class HistoryCommandsTest : public ::testing::Test {
  protected:
    // k57ctl tells times in the PC's local time: here UTC+5 all year.
    void SetUp() override {
        qputenv("K57_DATA_DIR", QByteArray::fromStdString(dir_.path()));
        qputenv("TZ", "Asia/Yekaterinburg");
    }
    void TearDown() override {
        qunsetenv("K57_DATA_DIR");
        zone_.isNull() ? qunsetenv("TZ") : qputenv("TZ", zone_);
    }

    test::CtlRun Ctl(const QStringList& args) { return test::RunCtl(args, settings_); }
    static QJsonObject Json(const test::CtlRun& run) {
        return QJsonDocument::fromJson(run.out.toUtf8()).object();
    }

    // Unit 4000000001: a backup, then a write that changed two settings.
    void Fill() {
        Journal journal;
        JournalEntry entry;
        entry.serial = 4000000001u;
        entry.unitType = "K57BT";
        entry.firmware = "000.008";
        entry.port = "COM7";
        entry.frontEnd = JournalFrontEnd::Window;
        entry.timeMs = 1714555800000;
        entry.operation = JournalOperation::Backup;
        entry.detail = "before write settings";
        entry.before = "PinCod=1234\nNameBT=\xCB\xE0\xE4\xE0\n";
        ASSERT_EQ(journal.Record(entry), 1);
        entry.operation = JournalOperation::WriteSettings;
        entry.timeMs += 1000;
        entry.after = "PinCod=5678\nNameBT=\xCB\xE0\xE4\xE0\nMicLevel=10\n";
        entry.detail = "3 lines";
        ASSERT_EQ(journal.Record(entry), 2);
        JournalEntry other;
        other.serial = 17;
        other.operation = JournalOperation::Identify;
        other.result = JournalResult::NoReply;
        other.timeMs = 1714555700000;
        ASSERT_EQ(journal.Record(other), 3);
    }

    const QByteArray zone_ = qgetenv("TZ");
    test::TempDir dir_;
    test::IsolatedSettings settings_;
};

TEST_F(HistoryCommandsTest, UnitsAndOneUnitsOperations) {
    Fill();
    test::CtlRun units = Ctl({"history"});
    ASSERT_EQ(units.code, 0) << units.err.toStdString();
    EXPECT_EQ(units.out,
              "4000000001  K57BT         000.008     last seen 2024-05-01T14:30:01.000+05:00  2 "
              "operation(s)\n"
              "17                                    last seen 2024-05-01T14:28:20.000+05:00  1 "
              "operation(s)\n");
    QJsonArray list = Json(Ctl({"history", "--json"}))["units"].toArray();
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list[0].toObject()["serial"].toInteger(), 4000000001);
    EXPECT_EQ(list[0].toObject()["operations"].toInt(), 2);

    test::CtlRun timeline = Ctl({"history", "4000000001"});
    ASSERT_EQ(timeline.code, 0);
    QStringList lines = timeline.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("1       2024-05-01T14:30:00.000+05:00  backup "))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].contains("write settings   ok")) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].endsWith("window  3 lines"));
    QJsonObject json = Json(Ctl({"history", "--json", "17"}));
    EXPECT_EQ(json["entries"].toArray()[0].toObject()["result"].toString(), "no reply");
    EXPECT_EQ(Ctl({"history", "18"}).code, 1);
}

// In Russian the window's words; in English the stored ones, as --json keeps
// them, with UTC.
TEST_F(HistoryCommandsTest, RussianWordsAndLocalTimeWhileJsonKeepsCodesAndUtc) {
    Fill();
    JournalEntry update;
    update.serial = 4000000001u;
    update.operation = JournalOperation::FirmwareUpdate;
    update.timeMs = 1714555900000;
    update.detail = "92 of 92 fragments sent";
    ASSERT_EQ(Journal().Record(update), 4);
    test::CtlRun ru = Ctl({"--lang", "ru", "history", "4000000001"});
    ASSERT_EQ(ru.code, 0) << ru.err.toStdString();
    QStringList lines = ru.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0].toStdString(),
              "1       2024-05-01T14:30:00.000+05:00  резервная копия      успешно           COM7  "
              "    окно    перед записью настроек");
    EXPECT_TRUE(lines[1].contains("  запись настроек      успешно  ")) << lines[1].toStdString();
    // The columns stay in line when the words are longer than the English.
    EXPECT_TRUE(lines[2].endsWith("  обновление прошивки  успешно" + QString(21, ' ') +
                                  "окно    отправлено 92 из 92 фрагментов"))
        << lines[2].toStdString();
    test::CtlRun en = Ctl({"--lang", "en", "history", "4000000001"});
    EXPECT_TRUE(en.out.startsWith("1       2024-05-01T14:30:00.000+05:00  backup           ok  "))
        << en.out.toStdString();
    EXPECT_TRUE(en.out.contains("window  before write settings\n"));

    test::CtlRun show = Ctl({"--lang", "ru", "history", "show", "1"});
    EXPECT_TRUE(show.out.contains("time: 2024-05-01T14:30:00.000+05:00\n"));
    EXPECT_TRUE(show.out.contains("operation: резервная копия\n"));
    EXPECT_TRUE(show.out.contains("result: успешно\ndetail: перед записью настроек\n"));
    EXPECT_TRUE(show.out.contains("front end: окно\n")) << show.out.toStdString();

    QJsonObject json = Json(Ctl({"--lang", "ru", "history", "show", "--json", "1"}));
    EXPECT_EQ(json["time"].toString(), "2024-05-01T09:30:00.000Z");
    EXPECT_EQ(json["operation"].toString(), "backup");
    EXPECT_EQ(json["result"].toString(), "ok");
    EXPECT_EQ(json["frontEnd"].toString(), "window");
    EXPECT_EQ(json["detail"].toString(), "before write settings");
    QJsonObject entry =
        Json(Ctl({"--lang", "ru", "history", "--json", "4000000001"}))["entries"][0].toObject();
    EXPECT_EQ(entry["time"].toString(), "2024-05-01T09:30:00.000Z");
    EXPECT_EQ(entry["operation"].toString(), "backup");
}

TEST_F(HistoryCommandsTest, AnEntryAndItsDifferencesAreMaskedUnlessRevealed) {
    Fill();
    test::CtlRun show = Ctl({"history", "show", "2"});
    ASSERT_EQ(show.code, 0) << show.err.toStdString();
    EXPECT_TRUE(
        show.out.startsWith("id: 2\ntime: 2024-05-01T14:30:01.000+05:00\nserial: 4000000001\n"));
    EXPECT_TRUE(
        show.out.endsWith("settings before:\nPinCod=****\nNameBT=Лада\n"
                          "settings after:\nPinCod=****\nNameBT=Лада\nMicLevel=10\n"))
        << show.out.toStdString();
    QJsonObject revealed = Json(Ctl({"history", "show", "--json", "2", "--reveal"}));
    EXPECT_EQ(revealed["settingsAfter"].toString(), "PinCod=5678\nNameBT=Лада\nMicLevel=10\n");
    EXPECT_TRUE(revealed["settingsBefore"].isString());
    EXPECT_TRUE(Json(Ctl({"history", "show", "--json", "3"}))["settingsBefore"].isNull());
    EXPECT_EQ(Ctl({"history", "show", "9"}).code, 1);

    test::CtlRun own = Ctl({"history", "diff", "2"});
    ASSERT_EQ(own.code, 0) << own.err.toStdString();
    EXPECT_EQ(own.out,
              "Пин код  (PinCod): **** -> ****\n"
              "Чувствительность микрофона (MicLevel): 8 -> 10\n");
    EXPECT_EQ(Ctl({"history", "diff", "1", "2", "--reveal"}).out,
              "Пин код  (PinCod): 1234 -> 5678\n"
              "Чувствительность микрофона (MicLevel): 8 -> 10\n");
    QJsonArray json = Json(Ctl({"history", "diff", "--json", "2", "1"}))["differences"].toArray();
    ASSERT_EQ(json.size(), 2);
    EXPECT_EQ(json[1].toObject()["before"].toString(), "10");
    test::CtlRun none = Ctl({"history", "diff", "1", "3"});
    EXPECT_EQ(none.code, 1);
    EXPECT_TRUE(none.err.contains("entry 3 holds no settings"));
}

TEST_F(HistoryCommandsTest, ExportWritesCsvMaskedUnlessRevealed) {
    Fill();
    QString file = QString::fromStdString(dir_.path()) + "/out.csv";
    ASSERT_EQ(Ctl({"history", "export", file}).code, 0);
    QFile masked(file);
    ASSERT_TRUE(masked.open(QIODevice::ReadOnly));
    QString text = QString::fromUtf8(masked.readAll());
    EXPECT_EQ(text.count("\r\n"), 4);  // header and three rows
    EXPECT_TRUE(text.contains("\"PinCod=****\nNameBT=Лада\n\""));
    EXPECT_FALSE(text.contains("1234"));
    masked.close();
    ASSERT_EQ(Ctl({"history", "export", "--reveal", file}).code, 0);
    ASSERT_TRUE(masked.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(masked.readAll()).contains("PinCod=1234"));
    test::CtlRun failed = Ctl({"history", "export", file + "/no/such"});
    EXPECT_EQ(failed.code, 6);
    EXPECT_TRUE(failed.err.contains("cannot write")) << failed.err.toStdString();
}

TEST_F(HistoryCommandsTest, ADamagedJournalIsSetAsideAndAMissingOneIsAnExitCode) {
    std::ofstream(dir_.path() + "/journal.sqlite3") << "garbage";
    test::CtlRun set = Ctl({"history"});
    EXPECT_EQ(set.code, 6);  // not an empty journal
    EXPECT_TRUE(set.err.contains("was damaged; it was kept as " +
                                 QString::fromStdString(dir_.path()) + "/journal.sqlite3.damaged-"))
        << set.err.toStdString();
    EXPECT_EQ(Ctl({"history"}).err,
              "0 unit(s) in " + QString::fromStdString(dir_.path()) + "/journal.sqlite3\n");

    qputenv("K57_DATA_DIR", QByteArray::fromStdString(dir_.path() + "/journal.sqlite3.damaged-x"));
    std::ofstream(dir_.path() + "/journal.sqlite3.damaged-x") << "a file, not a folder";
    test::CtlRun off = Ctl({"history", "--json"});
    EXPECT_EQ(off.code, 6);
    EXPECT_TRUE(off.err.contains("cannot be written")) << off.err.toStdString();
    EXPECT_EQ(off.out, "");
}

// Damage that only a query meets: each read command says so, naming where
// the damaged file was kept, rather than show the new, empty journal.
TEST_F(HistoryCommandsTest, DamageInTheMiddleIsExitSixNamingTheFileKeptAside) {
    const std::string path = dir_.path() + "/journal.sqlite3";
    for (QStringList args :
         {QStringList{"history"}, QStringList{"history", "4000000001"},
          QStringList{"history", "export", QString::fromStdString(dir_.path() + "/all.csv")}}) {
        test::DamageTheMiddle(path);
        test::CtlRun run = Ctl(args);
        EXPECT_EQ(run.code, 6) << args.join(' ').toStdString();
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.count("kept as"), 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("kept as " + QString::fromStdString(path) + ".damaged-"))
            << run.err.toStdString();
        QFile::remove(QString::fromStdString(path));
    }
}

}  // namespace
