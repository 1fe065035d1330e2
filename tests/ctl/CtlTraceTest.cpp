// k57ctl --trace as a program: what it writes about the settings it reads.

#include <gtest/gtest.h>

#include "CtlProcess.h"
#include "SimulatedUnits.h"
#include "TraceDump.h"

namespace {

class CtlTraceTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override {
        k57::StoredPort::Write("COM5");
        k57::sim::UnitOptions options;
        options.settings = "PinCod=5291\nUserNumber1=+79161234567\nMicLevel=10\n";
        Plug(5, options);
    }

    // The trace k57ctl wrote, and the bytes of its dumps.
    std::pair<std::string, std::string> Trace(const QStringList& options) {
        k57::test::CtlRun run =
            k57::test::RunCtl(options + QStringList{"settings", "read"}, settings_);
        EXPECT_EQ(run.code, 0) << run.err.toStdString();
        std::string text = run.err.toStdString();
        return {text, k57::test::DumpedBytes(text)};
    }
};

TEST_F(CtlTraceTest, TheTraceMasksThePinAndNumbersUnlessRevealIsAsked) {
    auto [text, bytes] = Trace({"--trace"});
    ASSERT_NE(text.find("RX  SettingsMessage (201)"), std::string::npos) << text;
    EXPECT_NE(bytes.find("PinCod=****\nUserNumber1=**********67\nMicLevel=10"), std::string::npos)
        << text;
    for (const char* secret : {"5291", "791612345"}) {
        EXPECT_EQ(text.find(secret), std::string::npos) << text;
        EXPECT_EQ(bytes.find(secret), std::string::npos) << text;
    }

    auto [clear, clearBytes] = Trace({"--trace", "--trace-reveal"});
    EXPECT_NE(clearBytes.find("PinCod=5291\nUserNumber1=+79161234567\n"), std::string::npos)
        << clear;

    // Revealing nothing is a mistake worth saying.
    EXPECT_EQ(k57::test::RunCtl({"--trace-reveal", "info"}, settings_).code, 1);
}

}  // namespace
