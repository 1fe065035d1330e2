// The session against a unit pulled out and plugged in again on the same
// COM name, as a technician programming units in a row does.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "Messages.h"
#include "QuickSessions.h"
#include "SimulatedUnits.h"
#include "T110_Device.h"

namespace {

using Fault = k57::sim::UnitOptions::Fault;

class UnpluggedUnitTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override { k57::StoredPort::Write("COM5"); }

    static k57::sim::UnitOptions Serial(uint32_t serial) {
        k57::sim::UnitOptions options;
        options.serial = serial;
        return options;
    }
};

TEST_F(UnpluggedUnitTest, ARequestWhileTheUnitIsOutFindsNoPortAndTheNextUnitAnswers) {
    k57::sim::Unit& unit = Plug(5, Serial(1001));
    T110_Device device;
    uint32_t serial = 0;
    ASSERT_EQ(device.ReadIdInfo(serial), k57::kReplyOk);

    unit.Unplug();
    std::string text = "kept";
    EXPECT_EQ(device.ReadSettings(text), k57::kPortUnavailable);
    EXPECT_EQ(text, "kept");
    k57::RequestFailure failure = device.LastFailure();
    EXPECT_EQ(failure.result, k57::kPortUnavailable);
    EXPECT_EQ(failure.port, "COM5");
    EXPECT_EQ(failure.openProblem.kind, k57::OpenProblem::Kind::NoSuchPort);

    ASSERT_TRUE(unit.Plug(Serial(1002)));
    EXPECT_EQ(device.ReadIdInfo(serial), k57::kReplyOk);
    EXPECT_EQ(serial, 1002u);
    EXPECT_EQ(device.WriteSettings("MicLevel=4\n"), k57::kReplyOk);
    EXPECT_EQ(device.ReadSettings(text), k57::kReplyOk);
    EXPECT_EQ(text, "MicLevel=4\n");
}

// Pulled while the tool waits for its reply: the wait ends at the hang-up,
// not at the time-out, as a lost line rather than a silent unit, and the
// next unit is reached. A write is the case that matters: whether the unit
// took it is unknown, and the technician must be told so.
TEST_F(UnpluggedUnitTest, AUnitPulledDuringARequestFailsItAsALostLineAndTheNextUnitAnswers) {
    struct Case {
        const char* name;
        int request;
        std::function<int(T110_Device&)> run;
    };
    const Case cases[] = {
        {"read", orvan::tms::messages::kReqSettings,
         [](T110_Device& d) {
             std::string text;
             return d.ReadSettings(text);
         }},
        {"write", orvan::tms::messages::kSettings,
         [](T110_Device& d) { return d.WriteSettings("MicLevel=4\n"); }},
    };
    uint32_t serial = 2001;
    k57::sim::Unit& unit = Plug(5, Serial(serial));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        unit.configure([](auto& o) { o.fault = Fault::Silent; });
        T110_Device device;  // the real four seconds
        int result = k57::kReplyOk;
        auto took = std::chrono::milliseconds::max();
        std::thread tool([&] {
            auto start = std::chrono::steady_clock::now();
            result = c.run(device);
            took = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - start);
        });
        ASSERT_TRUE(k57::test::WaitUntil(
            [&] { return k57::test::Count(unit.requests(), c.request) == 1; }));
        unit.Unplug();
        tool.join();
        EXPECT_EQ(result, k57::kLineLost);
        EXPECT_EQ(device.LastFailure().result, k57::kLineLost);
        EXPECT_EQ(device.LastFailure().port, "COM5");
        EXPECT_LT(took.count(), T110_Device::kReplyTimeout);

        ASSERT_TRUE(unit.Plug(Serial(++serial)));
        uint32_t read = 0;
        EXPECT_EQ(device.ReadIdInfo(read), k57::kReplyOk);
        EXPECT_EQ(read, serial);
    }
}

// The diagnostic mode keeps the port open; the unit is pulled meanwhile and
// the next one plugged in. The session's next request must reach the new
// unit, not the dead terminal it still holds.
TEST_F(UnpluggedUnitTest, APortLeftOpenOnAPulledUnitIsOpenedAgainForTheNextUnit) {
    k57::sim::Unit& unit = Plug(5, Serial(3001));
    std::unique_ptr<T110_Device> device = k57::test::QuickSession();
    ASSERT_EQ(device->EnterDiagnosticMode(), 0);
    ASSERT_TRUE(k57::test::WaitUntil([&] { return unit.diagnosticMode(); }));

    unit.Unplug();
    ASSERT_TRUE(unit.Plug(Serial(3002)));
    uint32_t serial = 0;
    EXPECT_EQ(device->ReadIdInfo(serial), k57::kReplyOk);
    EXPECT_EQ(serial, 3002u);
}

}  // namespace
