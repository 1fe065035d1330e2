// The main window's request right after a monitor let the port go, while
// the unit's last text lines may still be on the line: it is answered.

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "CanMonitorForm.h"
#include "DiagnosticForm.h"
#include "MainForm.h"
#include "ScriptedDialogs.h"
#include "Settle.h"
#include "SimulatedUnits.h"
#include "WindowProbe.h"

namespace {

using k57::test::Child;
using k57::test::LogLines;

class MonitorThenRequestTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override { k57::StoredPort::Write("COM5"); }

    // Asks for the serial number; true when it came without a box.
    bool SerialAnswered() {
        Child<QPushButton>(main, "GetSerialButton")->click();
        EXPECT_TRUE(k57::test::Settle(main.Device()));
        return dialogs.boxes.empty() &&
               LogLines(main).value(LogLines(main).size() - 1) ==
                   "Серийный номер устройства 12345678";
    }

    k57::test::ScriptedDialogs dialogs;
    TMainForm main{dialogs};
};

TEST_F(MonitorThenRequestTest, TheSerialIsReadRightAfterTheCanMonitorCloses) {
    k57::sim::UnitOptions options;
    options.canFramesPerSecond = 4000;
    options.canIdentifiers = 40;
    Plug(5, options);
    TCanMonitorForm can(main.Device(), &main);
    can.SetDialogs(&dialogs);
    can.show();
    for (int round = 0; round < 3; ++round) {
        Child<QPushButton>(can, "PortButton")->click();
        ASSERT_TRUE(k57::test::Settle(main.Device()));
        ASSERT_TRUE(QTest::qWaitFor([&] { return can.capture().Records().size() == 40; }, 5000));
        Child<QPushButton>(can, "PortButton")->click();
        ASSERT_TRUE(k57::test::Settle(main.Device()));
        EXPECT_TRUE(SerialAnswered()) << round << ": " << LogLines(main).join('\n').toStdString()
                                      << dialogs.shown().join('\n').toStdString();
    }
    can.close();
}

TEST_F(MonitorThenRequestTest, TheSerialIsReadRightAfterTheDiagnosticMonitorCloses) {
    k57::sim::UnitOptions options;
    options.diagnosticPeriodMs = 2;
    Plug(5, options);
    TDiagnosticForm diagnostic(main.Device(), &main);
    diagnostic.show();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return Child<QPlainTextEdit>(diagnostic, "Memo1")->blockCount() > 20; }, 5000));
    diagnostic.close();
    EXPECT_TRUE(SerialAnswered()) << LogLines(main).join('\n').toStdString()
                                  << dialogs.shown().join('\n').toStdString();
}

}  // namespace
