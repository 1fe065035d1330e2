#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include "CanMonitorForm.h"
#include "DiagnosticForm.h"
#include "MainForm.h"
#include "Messages.h"
#include "QuickSessions.h"
#include "ScriptedDialogs.h"
#include "Settle.h"
#include "SimulatedUnits.h"
#include "StallMeter.h"
#include "WindowProbe.h"

namespace {

class MonitorsTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override {
        k57::StoredPort::Write("COM5");
        session.Replace();
    }

    template <typename T>
    T* Child(QWidget& w, const char* name) {
        return k57::test::Child<T>(w, name);
    }

    k57::DeviceSession session{k57::test::QuickSessions()};
};

// --- CAN monitor --------------------------------------------------------

class CanMonitorTest : public MonitorsTest {
  protected:
    void SetUp() override {
        MonitorsTest::SetUp();
        form = std::make_unique<TCanMonitorForm>(session);
        form->show();
    }

    QString Text(const char* name) { return Child<QLabel>(*form, name)->text(); }
    QWidget* Panel() { return Child<QWidget>(*form, "Panel1"); }
    QPushButton* PortButton() { return Child<QPushButton>(*form, "PortButton"); }
    QCheckBox* Box(const char* name) { return Child<QCheckBox>(*form, name); }

    // `changes` frames of `id` after its first, each with other data, as
    // the read tick hands them to the capture.
    void Frames(unsigned id, int changes, k57::FilterMode mode, bool capture) {
        CanRecord frame;
        frame.id = id;
        frame.dlc = 8;
        for (int i = 0; i <= changes; ++i) {
            frame.data[0] = uint8_t(i);
            form->capture().HandleFrame(frame, mode, capture);
        }
    }

    std::unique_ptr<TCanMonitorForm> form;
};

TEST_F(CanMonitorTest, StartsEmptyAtFiveHundredKbit) {
    auto* speeds = Child<QComboBox>(*form, "SpeedList");
    EXPECT_EQ(speeds->count(), 9);
    EXPECT_EQ(speeds->currentText(), "500");
    EXPECT_EQ(speeds->itemText(0), "10");
    form->Timer2Timer();
    EXPECT_EQ(Text("MessageCounterLabel"), "0");
    EXPECT_EQ(Text("UnicumCounterLabel"), "0");
    EXPECT_EQ(Text("CounterLabel"), "0");
    EXPECT_EQ(Panel()->height(), 0);
    EXPECT_EQ(PortButton()->text(), "Open CAN");
}

TEST_F(CanMonitorTest, ShowsLiveTrafficAndClosesTheChannel) {
    k57::sim::UnitOptions options;
    options.canFramesPerSecond = 2000;
    options.canIdentifiers = 40;
    k57::sim::Unit& unit = Plug(5, options);
    PortButton()->click();
    ASSERT_TRUE(k57::test::Settle(session));
    EXPECT_EQ(PortButton()->text(), "V1010 vK57SIM Close");
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->capture().Records().size() == 40; }, 30000));
    // The display tick shows them.
    EXPECT_TRUE(QTest::qWaitFor([&] { return Text("UnicumCounterLabel") == "40"; }, 30000));
    EXPECT_GT(Text("MessageCounterLabel").toInt(), 40);
    EXPECT_EQ(Panel()->height(), 36 * 40);

    PortButton()->click();
    ASSERT_TRUE(k57::test::Settle(session));
    EXPECT_EQ(PortButton()->text(), "Open CAN");
    EXPECT_FALSE(session.get()->Channel().IsOpen());
    ASSERT_TRUE(k57::test::WaitUntil([&] { return !unit.canOpen(); }));
    EXPECT_EQ(unit.canCommands().back(), "C");
}

TEST_F(CanMonitorTest, AHandshakeWithoutAnswersClosesSilently) {
    k57::sim::UnitOptions options;
    options.canSilent = true;
    Plug(5, options);
    PortButton()->click();
    ASSERT_TRUE(k57::test::Settle(session));
    EXPECT_EQ(PortButton()->text(), "Open CAN");
    EXPECT_FALSE(session.get()->Channel().IsOpen());
}

// The unit that does not answer is passed over in silence; a port that
// cannot be opened at all is said, with why.
TEST_F(CanMonitorTest, APortThatCannotBeOpenedIsSaid) {
    k57::test::ScriptedDialogs dialogs;
    form->SetDialogs(&dialogs);
    PortButton()->click();
    ASSERT_TRUE(k57::test::Settle(session));
    EXPECT_EQ(dialogs.shown(), QStringList{"Ошибка: COM5: порт не открывается (нет такого порта)"});
    EXPECT_EQ(PortButton()->text(), "Open CAN");
}

TEST_F(CanMonitorTest, ClosingTheWindowClosesTheChannelAndTheNextShowingStartsAfresh) {
    k57::sim::Unit& unit = Plug(5);
    PortButton()->click();
    ASSERT_TRUE(k57::test::Settle(session));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->capture().Records().empty(); }, 5000));
    form->close();
    EXPECT_FALSE(session.get()->Channel().IsOpen());
    ASSERT_TRUE(k57::test::WaitUntil([&] { return !unit.canOpen(); }));
    form->show();
    EXPECT_TRUE(form->capture().Records().empty());
    EXPECT_EQ(form->capture().MessageCounter(), 0);
}

// A bigger font (a larger system font, display scaling, a font wider than
// Tahoma standing in for it) must not cut the check boxes' texts, nor put
// them over the capture counter between them and its four digits.
TEST_F(CanMonitorTest, TheCheckBoxesFitTheirTextsInALargerFont) {
    for (int points : {8, 12, 13}) {
        SCOPED_TRACE(points);
        QFont font = form->font();
        font.setPointSize(points);
        form->setFont(font);
        form->hide();
        form->show();
        QApplication::processEvents();
        for (const char* name : {"BitCheckBox", "ByteCheckBox", "CaptureBox"}) {
            EXPECT_LE(Box(name)->sizeHint().width(), Box(name)->width()) << name;
        }
        QWidget* counter = Child<QLabel>(*form, "CounterLabel");
        EXPECT_LE(std::max(Box("BitCheckBox")->geometry().right(),
                           Box("ByteCheckBox")->geometry().right()),
                  counter->x());
        EXPECT_LE(counter->x() + counter->fontMetrics().horizontalAdvance("9999"),
                  Box("CaptureBox")->x());
    }
}

TEST_F(CanMonitorTest, FilterAndCaptureBoxesAreCoupled) {
    for (unsigned id = 1; id <= 9; ++id) {
        Frames(id, 0, k57::FilterMode::Byte, false);  // new identifiers, counted under a filter
    }
    Box("CaptureBox")->click();
    Frames(0x200, 3, k57::FilterMode::None, true);
    ASSERT_EQ(form->capture().Captured().size(), 3u);
    ASSERT_EQ(form->capture().Counter(), 9);
    Box("BitCheckBox")->click();
    EXPECT_FALSE(Box("CaptureBox")->isChecked());
    EXPECT_FALSE(Box("CaptureBox")->isEnabled());
    EXPECT_TRUE(form->capture().Captured().empty());
    EXPECT_EQ(form->capture().Counter(), 0);
    EXPECT_EQ(Text("CounterLabel"), "0");

    Box("ByteCheckBox")->click();
    Box("BitCheckBox")->click();  // off, while the byte filter stays on
    EXPECT_FALSE(Box("CaptureBox")->isEnabled());
    Box("ByteCheckBox")->click();
    EXPECT_TRUE(Box("CaptureBox")->isEnabled());
}

TEST_F(CanMonitorTest, TheCaptureViewKeepsThirtyEntriesOnAFixedPanel) {
    Box("CaptureBox")->click();
    Frames(0x100, 30, k57::FilterMode::None, true);
    Frames(0x7FF, 1, k57::FilterMode::None, true);
    ASSERT_EQ(form->capture().Captured().size(), 31u);
    form->Timer2Timer();
    EXPECT_EQ(form->capture().Captured().size(), 30u);
    EXPECT_EQ(form->capture().Captured().back().id, 0x7FF);
    EXPECT_EQ(Panel()->height(), 1116);
}

TEST_F(CanMonitorTest, TheVisiblePartIsTheWholePicturesPixels) {
    k57::CanCapture& capture = form->capture();
    for (int i = 0; i < 400; ++i) {
        CanRecord r;
        r.id = uint16_t(i * 5);
        r.dlc = uint8_t(i % 10);
        r.data[i % 8] = uint8_t(i);
        capture.HandleFrame(r, k57::FilterMode::None, false);
        r.data[(i + 1) % 8] ^= 0x21;  // changes these two bits
        r.stamp = i * 97;
        capture.HandleFrame(r, k57::FilterMode::None, false);
    }
    ASSERT_EQ(capture.Records().size(), 400u);
    ASSERT_EQ(capture.Records()[7].changed[0], 0x21);
    form->Timer2Timer();
    auto* scroll = Child<QScrollArea>(*form, "ScrollBox1");
    scroll->verticalScrollBar()->setValue(36 * 250 + 17);
    QRect visible(0, scroll->verticalScrollBar()->value(), Panel()->width(),
                  scroll->viewport()->height());
    QImage shown = Panel()->grab(visible).toImage().convertToFormat(QImage::Format_RGB32);

    QImage whole(Panel()->width(), Panel()->height(), QImage::Format_RGB32);
    QPainter painter(&whole);
    k57::CanPicture::Paint(painter, whole.rect(), whole.width(), capture.Records(),
                           k57::CanPicture::View::Table,
                           Panel()->palette().color(Panel()->backgroundRole()));
    painter.end();
    EXPECT_EQ(shown, whole.copy(visible));
}

// --- diagnostic monitor ---------------------------------------------------

TEST_F(MonitorsTest, DiagnosticMonitorShowsReadingsAndEvents) {
    k57::sim::UnitOptions options;
    options.diagnosticPeriodMs = 5;
    k57::sim::Unit& unit = Plug(5, options);
    TDiagnosticForm form(session);
    form.show();
    auto* x = Child<QLabel>(form, "Label1");
    auto* memo = Child<QPlainTextEdit>(form, "Memo1");
    EXPECT_EQ(x->text(), "Label1");
    auto* z = Child<QLabel>(form, "Label3");
    // The labels change every other read tick, the log on any: on a busy
    // machine the events may come a tick before the readings are shown.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return memo->blockCount() > 2 && x->text().startsWith("X = ") && z->text() != "Label3";
        },
        30000));
    EXPECT_TRUE(z->text().startsWith("Z = 98")) << z->text().toStdString();
    EXPECT_EQ(memo->document()->firstBlock().text(), "Memo1");
    EXPECT_EQ(memo->document()->findBlockByNumber(1).text(), "$AccE: Motion detected");

    QTest::keyClick(memo, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(session.get()->Channel().IsOpen());
    int lines = memo->blockCount();
    form.show();
    ASSERT_TRUE(k57::test::WaitUntil([&] { return unit.requests().size() == 2; }));
    EXPECT_GE(memo->blockCount(), lines);
    form.close();
}

// --- hidden entries -------------------------------------------------------

TEST_F(MonitorsTest, DoubleClicksOpenTheMonitorsEvenWithoutAUnit) {
    k57::test::ScriptedDialogs dialogs;
    TMainForm main(dialogs);
    TDiagnosticForm diagnostic(main.Device(), &main);
    TCanMonitorForm can(main.Device(), &main);
    main.SetMonitors(&diagnostic, &can);
    main.show();
    QStringList opened;
    auto closeWhenShown = [&] {
        QTimer::singleShot(0, [&] {
            for (QDialog* d : {static_cast<QDialog*>(&diagnostic), static_cast<QDialog*>(&can)}) {
                if (d->isVisible()) {
                    opened << d->objectName();
                    d->close();
                }
            }
        });
    };
    auto* memo = Child<QPlainTextEdit>(main, "Memo1");
    closeWhenShown();
    QTest::mouseDClick(memo->viewport(), Qt::LeftButton);
    closeWhenShown();
    QTest::mouseDClick(Child<QGroupBox>(main, "GroupBox1"), Qt::LeftButton, {}, QPoint(5, 80));
    closeWhenShown();
    QTest::mouseDClick(Child<QComboBox>(main, "PortComboBox"), Qt::LeftButton);
    closeWhenShown();
    QTest::mouseDClick(Child<QPushButton>(main, "FindPortButton"), Qt::LeftButton);
    QTest::qWait(20);
    EXPECT_EQ(opened, (QStringList{"DiagnosticForm", "CanMonitorForm"}));
}

}  // namespace

// --- floods ---------------------------------------------------------------

// The longest the event loop went without running a 5 ms timer while
// `during` ms passed.
qint64 LongestStall(int during) {
    k57::test::StallMeter heartbeat(5);
    heartbeat.Start();
    QTest::qWait(during);
    return heartbeat.Longest();
}

TEST_F(MonitorsTest, ADiagnosticFloodKeepsTheWindowLiveAndTheLogBounded) {
    k57::sim::UnitOptions options;
    options.diagnosticFlood = true;
    Plug(5, options);
    TDiagnosticForm form(session);
    form.show();
    auto* memo = Child<QPlainTextEdit>(form, "Memo1");
    EXPECT_LT(LongestStall(1500), 80);
    // The flood fills the log, which then keeps its size as lines go on.
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return memo->blockCount() >= TDiagnosticForm::kLogLines; }, 15000));
    QTest::qWait(500);
    EXPECT_EQ(memo->blockCount(), TDiagnosticForm::kLogLines);
    EXPECT_EQ(memo->document()->lastBlock().text(), "$VS: Voltage 12.4 V");
    form.close();
}

TEST_F(CanMonitorTest, BytesThatNeverEndALineCannotStallTheWindow) {
    k57::sim::UnitOptions options;
    options.canNoise = true;
    Plug(5, options);
    PortButton()->click();
    ASSERT_TRUE(k57::test::Settle(session));
    ASSERT_EQ(PortButton()->text(), "V1010 vK57SIM Close");
    EXPECT_LT(LongestStall(1000), 60);
    PortButton()->click();
    ASSERT_TRUE(k57::test::Settle(session));
}

TEST_F(CanMonitorTest, AdaptersFramesAreShownAndSavedAsACandumpLogPythonCanReads) {
    k57::sim::UnitOptions options;
    options.canLog = K57_TEST_DATA "/mixed.log";
    Plug(5, options);
    PortButton()->click();
    ASSERT_TRUE(k57::test::Settle(session));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->frames().size() >= 40; }, 30000));
    PortButton()->click();
    ASSERT_TRUE(k57::test::Settle(session));
    form->Timer2Timer();
    // 100, 7DF, 2F5, 000 standard; 18DAF110, 18DB33F1, 00000321 extended.
    ASSERT_EQ(form->capture().Records().size(), 7u);
    EXPECT_FALSE(form->capture().Records()[3].extended);
    EXPECT_TRUE(form->capture().Records()[4].extended);
    EXPECT_EQ(form->capture().Records()[4].id, 0x321u);

    k57::test::ScriptedDialogs dialogs;
    k57::test::TempDir dir;
    QString path = QString::fromStdString(dir.path()) + "/drive.log";
    dialogs.files = {path};
    form->SetDialogs(&dialogs);
    QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialogs.filters.value(0), "candump log | *.log");
    QProcess python;
    python.start(
        "/usr/bin/python3",
        {"-c",
         "import sys, can\n"
         "ms = list(can.CanutilsLogReader(sys.argv[1]))\n"
         "print(len(ms), sum(m.is_extended_id for m in ms), sum(m.is_remote_frame for m in ms))\n",
         path});
    ASSERT_TRUE(python.waitForFinished(30000));
    QStringList counts = QString::fromUtf8(python.readAllStandardOutput()).split(' ');
    ASSERT_EQ(counts.size(), 3) << python.readAllStandardError().toStdString();
    EXPECT_EQ(counts[0].toULongLong(), form->frames().size());
    EXPECT_GT(counts[1].toInt(), 0);
    EXPECT_GT(counts[2].toInt(), 0);
}
