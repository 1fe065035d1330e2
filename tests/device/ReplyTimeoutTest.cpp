// The real reply time-outs, one test each; the other tests shorten them.
// The tick clock counts whole milliseconds, so a wait may end up to one
// millisecond short of its figure.

#include <gtest/gtest.h>

#include <chrono>

#include "SimulatedUnits.h"
#include "T110_Device.h"

namespace {

using Clock = std::chrono::steady_clock;

class ReplyTimeoutTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override {
        k57::sim::UnitOptions options;
        options.fault = k57::sim::UnitOptions::Fault::Silent;
        Plug(5, options);
        k57::StoredPort::Write("COM5");
    }

    template <typename Request>
    int TimedMs(Request request) {
        auto start = Clock::now();
        EXPECT_EQ(request(), -2);
        return int(
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
    }
};

TEST_F(ReplyTimeoutTest, RequestsWaitFourSeconds) {
    T110_Device device;
    uint32_t serial = 0;
    int took = TimedMs([&] { return device.ReadIdInfo(serial); });
    EXPECT_GE(took, 3999);
    EXPECT_LT(took, 4500);
}

TEST_F(ReplyTimeoutTest, BeginFirmwareUpdateWaitsTenSeconds) {
    T110_Device device;
    int took = TimedMs([&] { return device.BeginFirmwareUpdate(); });
    EXPECT_GE(took, 9999);
    EXPECT_LT(took, 10500);
    EXPECT_EQ(device.replyTimeout(), 4000u);
}

TEST_F(ReplyTimeoutTest, BeginWaveUpdateWaitsTwentySecondsAndTheNextRequestFour) {
    T110_Device device;
    int took = TimedMs([&] { return device.BeginWaveUpdate(); });
    EXPECT_GE(took, 19999);
    EXPECT_LT(took, 20500);
    std::string text;
    took = TimedMs([&] { return device.ReadVersion(text); });
    EXPECT_GE(took, 3999);
    EXPECT_LT(took, 4500);
}

}  // namespace
