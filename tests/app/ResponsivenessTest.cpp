// The window stays alive while it waits for the unit: it repaints, shows
// what it waits for, drops what the user clicks meanwhile, lets "Стоп" end
// a long wait, and asks before a close cuts an update short.

#include <gtest/gtest.h>

#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "MainForm.h"
#include "Messages.h"
#include "QuickSessions.h"
#include "ScriptedDialogs.h"
#include "Settle.h"
#include "SimulatedUnits.h"
#include "StallMeter.h"
#include "WindowProbe.h"

using namespace orvan::tms::messages;

namespace {

using k57::test::Count;

class ResponsivenessTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override { k57::StoredPort::Write("COM5"); }

    QPushButton* Button(const char* name) { return form->findChild<QPushButton*>(name); }
    QStringList Log() { return k57::test::LogLines(*form); }

    k57::test::ScriptedDialogs dialogs;
    std::unique_ptr<TMainForm> form;
};

TEST_F(ResponsivenessTest, ASilentUnitNeverStallsTheWindowAndClicksMeanwhileAreDropped) {
    k57::sim::UnitOptions silent;
    silent.fault = k57::sim::UnitOptions::Fault::Silent;
    Plug(5, silent);
    form = std::make_unique<TMainForm>(dialogs);  // the real four seconds
    form->show();
    QSignalSpy versionClicks(Button("GetVersionButton"), &QPushButton::clicked);

    k57::test::StallMeter heartbeat(10);
    QString status;
    QTimer::singleShot(1500, [&] {
        status = form->findChild<QProgressBar*>("SaveProgress")->text();
        QTest::mouseClick(Button("GetVersionButton"), Qt::LeftButton);
        QTest::keyClick(Button("GetSerialButton"), Qt::Key_Space);
    });
    heartbeat.Start();
    QElapsedTimer took;
    took.start();
    Button("GetSerialButton")->click();
    ASSERT_TRUE(k57::test::Settle(form->Device(), 10000));
    qint64 longestGap = heartbeat.Longest();

    EXPECT_GE(took.elapsed(), 3990);
    // A wait on the unit in the window's thread would stall it for the whole
    // four seconds; a loaded machine may leave any thread unscheduled for a
    // while, which is not the window's doing.
    EXPECT_LT(longestGap, 500) << "the event loop stalled";
    EXPECT_EQ(versionClicks.count(), 0);
    // Counted in whole seconds from when the wait began, which a machine
    // slowed by sanitizers may start a little after the click.
    EXPECT_TRUE(status == "COM5: ожидание ответа… 1 с" || status == "COM5: ожидание ответа… 0 с")
        << status.toStdString();
    EXPECT_EQ(dialogs.shown(),
              QStringList{"Загрузка не возможна: Устройство не подключено или занято."});
    EXPECT_EQ(Log(), QStringList{"COM5: нет ответа за 4 с"});
    // Afterwards the window takes clicks again.
    QTest::mouseClick(Button("OpenFileButton"), Qt::LeftButton);
    EXPECT_EQ(dialogs.filters.size(), 1);
}

TEST_F(ResponsivenessTest, StopEndsTheLongWaitForASoundStart) {
    k57::sim::UnitOptions silent;
    silent.fault = k57::sim::UnitOptions::Fault::Silent;
    k57::sim::Unit& unit = Plug(5, silent);
    form = std::make_unique<TMainForm>(dialogs, k57::test::QuickSessions());  // 20 s in 2 s
    form->show();
    // The update, and going on without the backup the silent unit gave
    // none of (0.4 s).
    dialogs.answers = {k57::Answer::Ok, k57::Answer::Yes};
    QTimer::singleShot(700, [&] { QTest::mouseClick(Button("WaveUpdateButton"), Qt::LeftButton); });
    QElapsedTimer took;
    took.start();
    Button("WaveUpdateButton")->click();
    ASSERT_TRUE(k57::test::Settle(form->Device(), 10000));
    EXPECT_LT(took.elapsed(), 1200);
    EXPECT_EQ(dialogs.boxes.size(), 2u);  // the questions only
    EXPECT_EQ(Log(), (QStringList{"Подготовка к записи, ждите...",
                                  "Обновление отменено: остановлено до начала передачи, ничего "
                                  "не передано."}));
    EXPECT_EQ(Button("WaveUpdateButton")->text(), "Обновить звук до 677857");
    QTest::qWait(100);
    EXPECT_EQ(Count(unit.requests(), kDataFragment), 0);
    EXPECT_TRUE(unit.commits().empty());
}

TEST_F(ResponsivenessTest, ClosingDuringAnUpdateAsksAndCancelLetsItCommit) {
    k57::sim::Unit& unit = Plug(5);
    form = std::make_unique<TMainForm>(dialogs);  // real time-outs: a whole transfer
    form->show();
    dialogs.answers = {k57::Answer::Ok};
    Button("BlowUpdateButton")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Count(unit.requests(), kDataFragment) >= 5; }));
    dialogs.answers = {k57::Answer::Cancel};
    form->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs.boxes.size() == 2; }));
    EXPECT_EQ(dialogs.shown().value(1), "Внимание: Идет обновление. Прервать?");
    EXPECT_EQ(dialogs.boxes[1].buttons, k57::Buttons::OkCancel);
    EXPECT_EQ(dialogs.boxes[1].preferred, k57::Answer::Cancel);  // Enter carries on
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !Log().isEmpty() && Log().last().startsWith("Загрузка закончена."); }, 30000));
    EXPECT_TRUE(form->isVisible());
    ASSERT_EQ(unit.commits().size(), 1u);
    EXPECT_TRUE(unit.commits()[0].accepted);
}

TEST_F(ResponsivenessTest, ClosingDuringAnUpdateWithOkStopsItWithoutCommit) {
    k57::sim::Unit& unit = Plug(5);
    form = std::make_unique<TMainForm>(dialogs, k57::test::QuickSessions());
    form->show();
    dialogs.answers = {k57::Answer::Ok};
    Button("WaveUpdateButton")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Count(unit.requests(), kDataFragment) >= 3; }));
    dialogs.answers = {k57::Answer::Ok};
    form->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }));
    ASSERT_TRUE(k57::test::Settle(form->Device()));  // the fragment on its way at the close
    int sent = Count(unit.requests(), kDataFragment);
    QTest::qWait(50);
    EXPECT_EQ(Count(unit.requests(), kDataFragment), sent);
    EXPECT_TRUE(unit.commits().empty());
    EXPECT_TRUE(Log().last().startsWith("Обновление отменено: остановлено, передано фрагментов: "))
        << Log().last().toStdString();
}

TEST_F(ResponsivenessTest, TabWalksTheButtonsInOrderAndLeavesTheLog) {
    form = std::make_unique<TMainForm>(dialogs, k57::test::QuickSessions());
    form->show();
    QApplication::setActiveWindow(form.get());
    Button("BlowUpdateButton")->setFocus();
    QStringList order;
    for (int i = 0; i < 9; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focus = QApplication::focusWidget();
        order << (focus ? focus->objectName() : "none");
    }
    EXPECT_EQ(order, (QStringList{"ReadButton", "WaveUpdateButton", "OpenFileButton",
                                  "PortComboBox", "FindPortButton", "Memo1", "GetSerialButton",
                                  "GetVersionButton", "BlowUpdateButton"}));
    EXPECT_TRUE(Log().isEmpty());  // no tab character went into the log
}

TEST_F(ResponsivenessTest, TheLogIsSavedAsUtf8WithTheTimeOfEachLine) {
    form = std::make_unique<TMainForm>(dialogs, k57::test::QuickSessions());
    QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    form->Log("Серийный номер устройства 1");
    form->Log("COM5: нет ответа за 4 с");
    QString path = QString::fromStdString(ports_.directory()) + "/журнал.txt";
    dialogs.files = {path};
    form->SaveLog();
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    QString text = QString::fromUtf8(saved.readAll());
    ASSERT_TRUE(text.endsWith('\n'));
    QStringList lines = text.chopped(1).split('\n');
    ASSERT_EQ(lines.size(), 2);
    QStringList texts;
    for (const QString& line : lines) {
        QDateTime written = QDateTime::fromString(line.left(19), "yyyy-MM-dd HH:mm:ss");
        EXPECT_TRUE(written.isValid()) << line.toStdString();
        EXPECT_GE(written, before);
        EXPECT_LE(written, QDateTime::currentDateTime());
        EXPECT_EQ(line.mid(19, 2), "  ");
        texts << line.mid(21);
    }
    EXPECT_EQ(texts, (QStringList{"Серийный номер устройства 1", "COM5: нет ответа за 4 с"}));
    // The window keeps showing the lines themselves, and says where they went.
    EXPECT_EQ(Log(), texts + QStringList{"Сохранено в файл " + QDir::toNativeSeparators(path)});
}

TEST_F(ResponsivenessTest, TheLogIsARecordTheKeyboardCannotChange) {
    form = std::make_unique<TMainForm>(dialogs, k57::test::QuickSessions());
    form->show();
    QApplication::setActiveWindow(form.get());
    auto* memo = form->findChild<QPlainTextEdit*>("Memo1");
    form->Log("COM6: нет ответа за 4 с");
    memo->setFocus();
    memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(memo, "abc");
    for (int key : {Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Return}) {
        QTest::keyClick(memo, Qt::Key(key));
    }
    QTest::keyClick(memo, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Log(), QStringList{"COM6: нет ответа за 4 с"});

    // Selecting and copying still work; cutting and pasting do not.
    QTest::keyClick(memo, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(memo->textCursor().selectedText(), "COM6: нет ответа за 4 с");
    QApplication::clipboard()->clear();
    QTest::keyClick(memo, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "COM6: нет ответа за 4 с");
    QTest::keyClick(memo, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(memo, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Log(), QStringList{"COM6: нет ответа за 4 с"});
}

}  // namespace
