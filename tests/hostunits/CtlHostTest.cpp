// k57ctl as a program against the simulated units that run as programs
// (see units.sh); for the Windows build, k57ctl.exe under Wine.

#include <gtest/gtest.h>

#include "CtlProcess.h"

namespace {

class CtlHostTest : public ::testing::Test {
  protected:
    k57::test::CtlRun Ctl(const QStringList& args) { return k57::test::RunCtl(args, settings_); }
    k57::test::IsolatedSettings settings_;
};

TEST_F(CtlHostTest, InfoAndTheExitCodesOfEachFailure) {
    k57::test::CtlRun info = Ctl({"--port", "COM40", "info"});
    EXPECT_EQ(info.code, 0) << info.err.toStdString();
    EXPECT_TRUE(info.out.startsWith("port: COM40\nserial: 40404040\ntype: K57BT\n"))
        << info.out.toStdString();
    EXPECT_EQ(Ctl({"--port", "COM45", "info"}).code, 2);
    k57::test::CtlRun wrong = Ctl({"info", "--port", "COM42"});
    EXPECT_EQ(wrong.code, 4);
    EXPECT_TRUE(wrong.err.contains("COM42: a reply of type 150 instead of 11"));
    k57::test::CtlRun silent = Ctl({"info", "--port", "COM41"});
    EXPECT_EQ(silent.code, 3);
    EXPECT_TRUE(silent.err.contains("COM41: no reply within 4 s"));
}

TEST_F(CtlHostTest, TheSettingsOfTheUnitReadAsText) {
    ASSERT_EQ(Ctl({"--port", "COM40", "settings", "set", "MicLevel=11"}).code, 0);
    k57::test::CtlRun read = Ctl({"--port", "COM40", "settings", "read"});
    EXPECT_EQ(read.out, "MicLevel=11\n");
    ASSERT_EQ(Ctl({"--port", "COM40", "settings", "set", "MicLevel=8"}).code, 0);
}

}  // namespace
