// The main window against the simulated units that run as programs (see
// units.sh); under Wine this is the Windows build's window.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>

#include "MainForm.h"
#include "QuickSessions.h"
#include "ScriptedDialogs.h"
#include "Settle.h"
#include "StoredPort.h"
#include "TempDir.h"

namespace {

class HostUnitsWindowTest : public ::testing::Test {
  protected:
    void SetUp() override { k57::StoredPort::Write("COM40"); }

    QPushButton* Button(TMainForm& form, const char* name) {
        return form.findChild<QPushButton*>(name);
    }

    k57::test::IsolatedSettings settings_;
    k57::test::ScriptedDialogs dialogs;
};

TEST_F(HostUnitsWindowTest, TheWindowNamesItsFirmwareAndReadsTheUnit) {
    TMainForm form(dialogs, k57::test::QuickSessions());
    EXPECT_EQ(form.windowTitle(), "K57BT     Версия: 000.009");
    EXPECT_EQ(form.findChild<QComboBox*>("PortComboBox")->currentText(), "COM40");
    Button(form, "GetSerialButton")->click();
    ASSERT_TRUE(k57::test::Settle(form.Device()));
    Button(form, "GetVersionButton")->click();
    ASSERT_TRUE(k57::test::Settle(form.Device()));
    EXPECT_EQ(form.findChild<QPlainTextEdit*>("Memo1")->toPlainText(),
              "Серийный номер устройства 40404040\n"
              "Тип устройства   : K57BT\n"
              "Версия прошивки : 000.008");
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(HostUnitsWindowTest, ThePortSearchSelectsAndStoresTheUnitsPort) {
    k57::StoredPort::Write("COM41");
    TMainForm form(dialogs, k57::test::QuickSessions());
    Button(form, "FindPortButton")->click();
    ASSERT_TRUE(k57::test::Settle(form.Device()));
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].caption, "Устройство найдено");
    EXPECT_TRUE(dialogs.boxes[0].text.startsWith("Порт:\tCOM40\nТип:\tK57BT"));
    EXPECT_EQ(form.findChild<QComboBox*>("PortComboBox")->currentText(), "COM40");
    EXPECT_EQ(k57::StoredPort::Read(), "COM40");
}

}  // namespace
