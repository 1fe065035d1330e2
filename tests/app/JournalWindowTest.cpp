// The window keeps the service journal: a backup before the editor's write
// and before an update, the question when the backup cannot be read, the
// settings a firmware update reset written back, and the history window.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTreeWidget>
#include <ctime>

#include "CtlProcess.h"
#include "DamagedJournal.h"
#include "HistoryForm.h"
#include "Journal.h"
#include "MainForm.h"
#include "Messages.h"
#include "ParametersEditForm.h"
#include "QuickSessions.h"
#include "ScriptedDialogs.h"
#include "Settle.h"
#include "SimulatedUnits.h"
#include "WindowProbe.h"

using namespace orvan::tms::messages;
using k57::JournalEntry;
using k57::JournalOperation;

namespace {

using k57::test::Count;

const char kUnitSettings[] = "MicLevel=10\nPinCod=1234\n";

class JournalWindowTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override { k57::StoredPort::Write("COM5"); }

    void Open() {
        form = std::make_unique<TMainForm>(dialogs, k57::test::QuickSessions());
        editor = std::make_unique<TParametersEditForm>(dialogs, form->Device());
        form->SetEditor(editor.get());
        editor->parameters = &form->parameterList();
    }
    // The editor's "Записать в устройство" with MicLevel at 3.
    void WriteMicLevel3() {
        form->parameterList().SetValuesFromText("MicLevel=3\n");
        editor->SendActionExecute();
        ASSERT_TRUE(k57::test::Settle(form->Device()));
    }
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

    // Unit `before` on COM5, asked once by `ask` in a window without an
    // editor; then unit `after`, with other settings, in its place.
    k57::sim::Unit& Swapped(uint32_t before, uint32_t after, void (TMainForm::*ask)()) {
        k57::sim::UnitOptions options;
        options.serial = before;
        options.settings = kUnitSettings;
        k57::sim::Unit& unit = Plug(5, options);
        form = std::make_unique<TMainForm>(dialogs, k57::test::QuickSessions());
        (form.get()->*ask)();
        EXPECT_TRUE(k57::test::Settle(form->Device()));
        unit.configure([after](auto& o) {
            o.serial = after;
            o.settings = "MicLevel=2\n";
        });
        return unit;
    }

    k57::test::ScriptedDialogs dialogs;
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<TParametersEditForm> editor;
};

TEST_F(JournalWindowTest, TheEditorsWriteIsBackedUpFirst) {
    k57::sim::UnitOptions options;
    options.serial = 4000000001u;
    options.settings = kUnitSettings;
    k57::sim::Unit& unit = Plug(5, options);
    Open();
    dialogs.answers = {k57::Answer::Ok};
    WriteMicLevel3();
    EXPECT_EQ(unit.settings(), "MicLevel=3\n");
    EXPECT_EQ(dialogs.shown().value(1),
              "Сообщение: Настройки записаны и подтверждены: прочитанные из устройства совпадают.");
    std::vector<JournalEntry> entries = Entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].operation, JournalOperation::Backup);
    EXPECT_EQ(entries[0].before, std::string(kUnitSettings));
    EXPECT_EQ(entries[1].operation, JournalOperation::WriteSettings);
    EXPECT_EQ(entries[1].before, std::string(kUnitSettings));
    EXPECT_EQ(entries[1].after, std::string("MicLevel=3\n"));
    for (const JournalEntry& e : entries) {
        EXPECT_EQ(e.serial, 4000000001u);
        EXPECT_EQ(e.firmware, "000.008");
        EXPECT_EQ(e.port, "COM5");
        EXPECT_EQ(e.frontEnd, k57::JournalFrontEnd::Window);
    }
    // The information commands are recorded too.
    form->GetSerialButtonClick();
    ASSERT_TRUE(k57::test::Settle(form->Device()));
    EXPECT_EQ(Entries().back().operation, JournalOperation::Identify);
}

TEST_F(JournalWindowTest, ABackupThatCannotBeReadIsAQuestionNoByDefault) {
    k57::sim::UnitOptions options;
    options.settings = kUnitSettings;
    options.fault = k57::sim::UnitOptions::Fault::WrongType;
    options.faultCodes = {kReqSettings};
    k57::sim::Unit& unit = Plug(5, options);
    Open();
    dialogs.answers = {k57::Answer::Ok};  // the question is not answered: No
    WriteMicLevel3();
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.shown()[1],
              "Внимание: Не удалось прочитать настройки устройства для резервной копии "
              "(ответ другого типа).\nПродолжить без резервной копии?");
    EXPECT_EQ(dialogs.boxes[1].buttons, k57::Buttons::YesNo);
    EXPECT_EQ(dialogs.boxes[1].preferred, k57::Answer::No);
    EXPECT_EQ(Count(unit.requests(), kSettings), 0);
    EXPECT_EQ(unit.settings(), kUnitSettings);

    dialogs.answers = {k57::Answer::Ok, k57::Answer::Yes};
    WriteMicLevel3();
    EXPECT_EQ(unit.settings(), "MicLevel=3\n");
    // A unit that cannot say its settings cannot confirm the write either.
    EXPECT_TRUE(dialogs.shown().last().startsWith(
        "Ошибка: Настройки отправлены, но прочитать их обратно не удалось"))
        << dialogs.shown().last().toStdString();
    EXPECT_FALSE(Entries().back().before);  // written without a backup

    // Before an update too: No leaves the unit alone.
    dialogs.answers = {k57::Answer::Ok};
    form->BlowUpdateButtonClick();
    ASSERT_TRUE(k57::test::Settle(form->Device()));
    EXPECT_TRUE(dialogs.shown().last().contains("Продолжить без резервной копии?"));
    EXPECT_EQ(Count(unit.requests(), kBeginFirmwareUpdate), 0);
}

TEST_F(JournalWindowTest, SettingsResetByAFirmwareUpdateAreRestoredOnYes) {
    k57::sim::UnitOptions options;
    options.settings = kUnitSettings;
    options.resetSettingsOnFirmware = true;
    k57::sim::Unit& unit = Plug(5, options);
    Open();
    dialogs.answers = {k57::Answer::Ok, k57::Answer::Yes};
    form->BlowUpdateButtonClick();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return k57::test::LogLines(*form).contains(
                "Настройки восстановлены из резервной копии.");
        },
        30000));
    EXPECT_EQ(unit.settings(), kUnitSettings);
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    QString question = dialogs.shown()[1];
    EXPECT_TRUE(question.contains("Чувствительность микрофона: 10 -> 8")) << question.toStdString();
    EXPECT_TRUE(question.contains("****"));  // the PIN is not shown
    EXPECT_FALSE(question.contains("1234"));
    EXPECT_TRUE(question.endsWith("Восстановить настройки?"));
    EXPECT_EQ(Operations(),
              (std::vector{JournalOperation::Backup, JournalOperation::FirmwareUpdate,
                           JournalOperation::ReadSettings, JournalOperation::Restore}));
    EXPECT_EQ(Entries().back().firmware, "000.009");

    // The journal window says what each did: the update its version, the
    // reading its defaults, the restore the entry it wrote back.
    THistoryForm history(form->guardedChange(), dialogs, form->parameterList());
    auto* timeline = history.findChild<QTreeWidget*>("Timeline");
    ASSERT_EQ(timeline->topLevelItemCount(), 4);  // newest first
    auto shown = [&](int row) {
        timeline->clearSelection();
        timeline->topLevelItem(row)->setSelected(true);
        return history.shownText();
    };
    const QString restored = "Восстановлено из записи 1 (" + timeline->topLevelItem(3)->text(0) +
                             ").\n\nИзменения относительно настроек от ";
    EXPECT_TRUE(shown(0).startsWith(restored)) << shown(0).toStdString();
    EXPECT_EQ(shown(1), "(все значения по умолчанию)");
    // The update's own settings are those kept before it, and say so: bare,
    // the defaults a failed update showed read as a reset unit.
    EXPECT_TRUE(shown(2).startsWith("Обновление до версии 000.009 (в устройстве была 000.008).\n\n"
                                    "Настройки перед операцией (резервная копия):\nMicLevel=10\n"))
        << shown(2).toStdString();
    // Written back from the journal window: the entry chosen is the source.
    unit.configure([](auto& o) { o.settings = "MicLevel=2\n"; });
    shown(3);
    dialogs.answers = {k57::Answer::Ok};
    history.WriteButtonClick();
    ASSERT_TRUE(k57::test::Settle(form->Device()));
    EXPECT_EQ(unit.settings(), kUnitSettings);
    EXPECT_TRUE(shown(0).startsWith(restored)) << shown(0).toStdString();
}

// The history window over what the window recorded: units filtered as a
// serial is typed, the timeline, a snapshot masked until revealed, two
// entries compared, the snapshot saved and the journal exported.
TEST_F(JournalWindowTest, TheHistoryWindowShowsUnitsTimelinesAndSnapshots) {
    k57::sim::UnitOptions options;
    options.serial = 4000000001u;
    options.settings = kUnitSettings;
    k57::sim::Unit& unit = Plug(5, options);
    Open();
    dialogs.answers = {k57::Answer::Ok};
    WriteMicLevel3();
    ASSERT_EQ(Entries().size(), 2u);

    THistoryForm history(form->guardedChange(), dialogs, form->parameterList());
    auto* serial = history.findChild<QLineEdit*>("SerialEdit");
    auto* units = history.findChild<QListWidget*>("UnitList");
    auto* timeline = history.findChild<QTreeWidget*>("Timeline");
    ASSERT_EQ(units->count(), 1);
    serial->setText("999");
    EXPECT_EQ(units->count(), 0);
    serial->setText("0001");
    ASSERT_EQ(units->count(), 1);
    ASSERT_EQ(timeline->topLevelItemCount(), 2);
    EXPECT_EQ(timeline->topLevelItem(0)->text(1), "запись настроек");  // newest first
    EXPECT_EQ(timeline->topLevelItem(1)->text(1), "резервная копия");

    timeline->topLevelItem(1)->setSelected(true);
    EXPECT_EQ(history.shownText(), "MicLevel=10\nPinCod=****\n");
    history.findChild<QCheckBox*>("RevealBox")->setChecked(true);
    EXPECT_EQ(history.shownText(), kUnitSettings);
    history.findChild<QCheckBox*>("RevealBox")->setChecked(false);

    timeline->topLevelItem(0)->setSelected(true);
    history.CompareButtonClick();
    EXPECT_EQ(history.shownText(),
              "Пин код  (PinCod): **** -> \nЧувствительность микрофона (MicLevel): 10 -> 3");

    timeline->clearSelection();
    timeline->topLevelItem(1)->setSelected(true);
    QString file = QString::fromStdString(settings_.directory()) + "/backup.txt";
    dialogs.files = {file};
    history.SaveButtonClick();
    QFile saved(file);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), "MicLevel=10\r\nPinCod=1234\r\n");

    // The backup written back: the unit has its PIN again.
    dialogs.answers = {k57::Answer::Ok};
    history.WriteButtonClick();
    ASSERT_TRUE(k57::test::Settle(form->Device()));
    EXPECT_EQ(unit.settings(), kUnitSettings);
    EXPECT_EQ(Entries().back().operation, JournalOperation::Restore);

    QString csv = QString::fromStdString(settings_.directory()) + "/journal.csv";
    dialogs.files = {csv};
    history.ExportButtonClick();
    QFile exported(csv);
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    QByteArray rows = exported.readAll();
    EXPECT_TRUE(rows.contains("write settings"));
    EXPECT_FALSE(rows.contains("1234"));
}

// The window and its support report use one journal, and k57ctl, another
// process, writes the same file meanwhile: each sees every entry of both.
TEST_F(JournalWindowTest, ASupportReportKeepsTheJournalSharedWithK57ctl) {
    k57::sim::UnitOptions options;
    options.serial = 801;
    Plug(5, options);
    form = std::make_unique<TMainForm>(dialogs, k57::test::QuickSessions());
    auto identify = [&] {
        form->GetSerialButtonClick();
        return k57::test::Settle(form->Device());
    };
    ASSERT_TRUE(identify());
    QString report = QString::fromStdString(settings_.directory()) + "/report.txt";
    dialogs.files = {report};
    form->SaveSupportReport();
    ASSERT_TRUE(QFile::exists(report));
    ASSERT_EQ(k57::test::RunCtl({"info"}, settings_).code, 0);
    ASSERT_TRUE(identify());
    ASSERT_EQ(k57::test::RunCtl({"info"}, settings_).code, 0);

    k57::test::CtlRun history = k57::test::RunCtl({"history", "801"}, settings_);
    ASSERT_EQ(history.code, 0) << history.err.toStdString();
    EXPECT_EQ(history.out.count(" window "), 2) << history.out.toStdString();
    EXPECT_EQ(history.out.count(" k57ctl "), 2) << history.out.toStdString();
    EXPECT_EQ(form->guardedChange().record().journal().Timeline(801).size(), 4u);
}

// An entry names the unit that answered in its own exchange: never one
// that answered on the port before.
TEST_F(JournalWindowTest, AnEntryNamesTheUnitThatAnsweredNotTheOneBefore) {
    k57::sim::Unit& unit = Swapped(701, 702, &TMainForm::GetSerialButtonClick);
    form->ReadButtonClick();
    ASSERT_TRUE(k57::test::Settle(form->Device()));
    JournalEntry read = Entries().back();
    EXPECT_EQ(read.operation, JournalOperation::ReadSettings);
    EXPECT_EQ(read.after, std::string("MicLevel=2\n"));
    EXPECT_EQ(read.serial, 702u);

    unit.configure([](auto& o) { o.fault = k57::sim::UnitOptions::Fault::WrongType; });
    form->ReadButtonClick();
    ASSERT_TRUE(k57::test::Settle(form->Device()));
    EXPECT_EQ(Entries().back().result, k57::JournalResult::BadReply);
    EXPECT_FALSE(Entries().back().serial);
}

// The journal keeps codes, English details and UTC; the timeline tells them
// in the window's words and the PC's local time.
TEST_F(JournalWindowTest, TheTimelineIsInTheWindowsWordsAndLocalTime) {
    const QByteArray zone = qgetenv("TZ");
    qputenv("TZ", "Asia/Yekaterinburg");  // UTC+5 all year
    tzset();
    JournalEntry entry;
    entry.serial = 4000000002u;
    entry.timeMs = 1714555800000;  // 09:30 UTC
    entry.operation = JournalOperation::FirmwareUpdate;
    entry.result = k57::JournalResult::NoReply;
    entry.port = "COM5";
    entry.detail = "92 of 92 fragments sent; before the start";
    ASSERT_GT(k57::Journal().Record(entry), 0);
    form = std::make_unique<TMainForm>(dialogs, k57::test::QuickSessions());
    THistoryForm history(form->guardedChange(), dialogs, form->parameterList());
    auto* timeline = history.findChild<QTreeWidget*>("Timeline");
    ASSERT_EQ(timeline->topLevelItemCount(), 1);
    QStringList shown;
    for (int column = 0; column < timeline->columnCount(); ++column) {
        shown << timeline->topLevelItem(0)->text(column);
    }
    EXPECT_EQ(shown.join('|').toStdString(),
              "2024-05-01 14:30:00|обновление прошивки|нет ответа|COM5|окно||"
              "отправлено 92 из 92 фрагментов; до начала");
    EXPECT_EQ(timeline->headerItem()->text(0), "Время");
    EXPECT_EQ(k57::Journal().Entry(1)->detail, entry.detail);  // kept as recorded
    zone.isNull() ? qunsetenv("TZ") : qputenv("TZ", zone);
    tzset();
}

TEST_F(JournalWindowTest, DamageMetByTheHistoryWindowIsSaidOnce) {
    k57::test::DamageTheMiddle(settings_.directory() + "/journal.sqlite3");
    Plug(5);
    form = std::make_unique<TMainForm>(dialogs, k57::test::QuickSessions());
    THistoryForm history(form->guardedChange(), dialogs, form->parameterList());
    EXPECT_EQ(history.findChild<QListWidget*>("UnitList")->count(), 0);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_TRUE(dialogs.shown()[0].contains("journal.sqlite3.damaged-"))
        << dialogs.shown()[0].toStdString();
    history.findChild<QLineEdit*>("SerialEdit")->setText("4");
    EXPECT_EQ(dialogs.boxes.size(), 1u);
}

// The history window's restore asks the unit on the port who it is first:
// another unit is refused before its settings are read or anything is
// recorded.
TEST_F(JournalWindowTest, TheHistoryWindowLeavesAnotherUnitAloneBeforeReadingIt) {
    k57::sim::Unit& unit = Swapped(901, 902, &TMainForm::ReadButtonClick);
    size_t recorded = Entries().size();
    int reads = Count(unit.requests(), kReqSettings);

    THistoryForm history(form->guardedChange(), dialogs, form->parameterList());
    auto* timeline = history.findChild<QTreeWidget*>("Timeline");
    ASSERT_EQ(timeline->topLevelItemCount(), 1);
    timeline->topLevelItem(0)->setSelected(true);
    dialogs.answers = {k57::Answer::Ok};
    history.WriteButtonClick();
    ASSERT_TRUE(k57::test::Settle(form->Device()));
    EXPECT_TRUE(dialogs.shown().last().contains("устройству 901, а подключено 902"))
        << dialogs.shown().last().toStdString();
    EXPECT_EQ(Count(unit.requests(), kReqSettings), reads);
    EXPECT_EQ(Count(unit.requests(), kSettings), 0);
    EXPECT_EQ(Entries().size(), recorded);
    EXPECT_EQ(unit.settings(), "MicLevel=2\n");
}

}  // namespace
