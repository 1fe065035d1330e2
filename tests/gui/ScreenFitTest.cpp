// The windows on a 1366 x 768 laptop at 150 % (run with QT_SCALE_FACTOR=1.5
// on a faked screen whose work area leaves Windows' 60-pixel taskbar out).

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTreeWidget>

#include "BatchStationForm.h"
#include "CanMonitorForm.h"
#include "DiagnosticForm.h"
#include "DiagnosticPlotForm.h"
#include "DiagnosticTrace.h"
#include "HistoryForm.h"
#include "MainForm.h"
#include "ParametersEditForm.h"
#include "QuickSessions.h"
#include "ScreenFit.h"
#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "TraceForm.h"

namespace {

using k57::FittedSize;

TEST(FittedSizeTest, ADesignThatFitsKeepsItsSizeAndOneThatDoesNotShrinks) {
    const QSize laptop(910, 472), desktop(1920, 1040);
    EXPECT_EQ(FittedSize({320, 505}, desktop), QSize(320, 505));
    EXPECT_EQ(FittedSize({721, 495}, desktop), QSize(721, 495));
    EXPECT_EQ(FittedSize({320, 505}, laptop), QSize(320, 433));
    EXPECT_EQ(FittedSize({673, 637}, laptop), QSize(673, 433));
    EXPECT_EQ(FittedSize({1200, 300}, laptop), QSize(894, 300));
    EXPECT_EQ(FittedSize({721, 495}, {0, 0}), QSize(1, 1));
}

class LaptopScreenTest : public ::testing::Test {
  protected:
    void SetUp() override {
        area_ = QGuiApplication::primaryScreen()->availableGeometry();
        // 1366 x 708 at 150 %, rounded as Qt rounds.
        ASSERT_EQ(area_.height(), 472) << "run with the laptop screen at 150 %";
        ASSERT_NEAR(area_.width(), 910, 1);
    }

    void ExpectFits(QWidget& window) {
        QSize outer = window.size() + k57::kWindowFrame;
        EXPECT_LE(outer.width(), area_.width()) << window.objectName().toStdString();
        EXPECT_LE(outer.height(), area_.height()) << window.objectName().toStdString();
    }

    QRect area_;
    k57::test::IsolatedSettings settings_;
    k57::test::ScriptedDialogs dialogs_;
};

TEST_F(LaptopScreenTest, EveryWindowFitsAndKeepsItsControlsInSight) {
    TMainForm main(dialogs_, k57::test::QuickSessions());
    main.setObjectName("MainForm");
    TParametersEditForm editor(dialogs_, main.Device(), &main);
    TDiagnosticForm diagnostic(main.Device(), &main);
    TCanMonitorForm can(main.Device(), &main);
    for (QWidget* window : {static_cast<QWidget*>(&main), static_cast<QWidget*>(&editor),
                            static_cast<QWidget*>(&diagnostic), static_cast<QWidget*>(&can)}) {
        window->show();
        ExpectFits(*window);
    }

    // The main window's log gives up height; it never covers the buttons.
    auto* log = main.findChild<QPlainTextEdit*>("Memo1");
    EXPECT_GE(log->y(), main.findChild<QPushButton*>("GetVersionButton")->geometry().bottom());
    EXPECT_EQ(main.findChild<QWidget*>("SaveProgress")->geometry().bottom(), main.height() - 1);
    EXPECT_GE(log->height(), 48);
    // The line saying that journal entries wait sits between the buttons
    // and the log, within the window's width.
    auto* waiting = main.findChild<QWidget*>("JournalLine");
    ASSERT_TRUE(waiting);
    EXPECT_GT(waiting->y(), main.findChild<QPushButton*>("GetVersionButton")->geometry().bottom());
    EXPECT_LT(waiting->geometry().bottom(), log->y());
    EXPECT_LE(waiting->geometry().right(), main.width() - 1);

    // The others shrink their scrolling parts.
    EXPECT_LE(diagnostic.findChild<QPlainTextEdit*>("Memo1")->geometry().bottom(),
              diagnostic.height() - 1);
    EXPECT_GT(can.findChild<QScrollArea*>("ScrollBox1")->viewport()->height(), 100);
    EXPECT_GT(editor.findChild<QTreeWidget*>("Tree")->height(), 100);

    // The main window sits wholly on the screen, its title bar too.
    k57::CentreOnScreen(main);
    EXPECT_GE(main.y() - (k57::kWindowFrame.height() - k57::kWindowFrame.width() / 2), area_.top());
    EXPECT_LE(main.y() + main.height(), area_.bottom() + 1);
}

// The station's rows give up height; its choices and buttons stay in sight.
TEST_F(LaptopScreenTest, TheStationWindowFitsWithItsButtonsAndRowsInSight) {
    TBatchStationForm station(dialogs_);
    station.show();
    ExpectFits(station);
    EXPECT_LE(station.findChild<QPushButton*>("StopButton")->mapTo(&station, QPoint(0, 0)).y() +
                  station.findChild<QPushButton*>("StopButton")->height(),
              station.height());
    EXPECT_GT(station.findChild<QScrollArea*>("StationRows")->viewport()->height(), 100);
}

// The journal window: its timeline and buttons in sight, the unit list
// beside them.
TEST_F(LaptopScreenTest, TheJournalWindowFitsWithItsButtonsInSight) {
    TMainForm main(dialogs_, k57::test::QuickSessions());
    THistoryForm history(main.guardedChange(), dialogs_, main.parameterList(), &main);
    history.setObjectName("HistoryForm");
    history.show();
    ExpectFits(history);
    auto* write = history.findChild<QPushButton*>("WriteButton");
    ASSERT_TRUE(write);
    QRect button(write->mapTo(&history, QPoint(0, 0)), write->size());
    EXPECT_TRUE(history.rect().contains(button)) << button.x() << "," << button.y();
    EXPECT_GT(history.findChild<QTreeWidget*>("Timeline")->height(), 100);
    EXPECT_GT(history.findChild<QPlainTextEdit*>("SettingsView")->height(), 48);
    EXPECT_GT(history.findChild<QListWidget*>("UnitList")->width(), 100);
}

// The two windows opened from the others: the sensor's plot and the link's
// trace, each with its controls above a view that gives up the height.
TEST_F(LaptopScreenTest, ThePlotAndTraceWindowsFit) {
    k57::DiagnosticTrace trace;
    TDiagnosticPlotForm plot(trace);
    plot.setObjectName("DiagnosticPlotForm");
    TTraceForm traceForm;
    traceForm.setObjectName("TraceForm");
    for (QWidget* window : {static_cast<QWidget*>(&plot), static_cast<QWidget*>(&traceForm)}) {
        window->show();
        ExpectFits(*window);
    }
}

}  // namespace
