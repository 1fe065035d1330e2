// The reply time-outs. The four-second one runs on the real clock, to prove
// the session's time comes from it; the longer ones on a clock that runs
// twenty times faster. The tick clock counts whole milliseconds, so a wait
// may end up to one millisecond short of its figure.

#include <gtest/gtest.h>

#include "QuickSessions.h"
#include "SimulatedUnits.h"
#include "T110_Device.h"

namespace {

class ReplyTimeoutTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override {
        k57::sim::UnitOptions options;
        options.fault = k57::sim::UnitOptions::Fault::Silent;
        Plug(5, options);
        k57::StoredPort::Write("COM5");
    }

    // The time a failing request took, on `clock`.
    template <typename Request>
    static uint32_t TimedMs(k57::Clock& clock, Request request) {
        uint32_t start = clock.NowMs();
        EXPECT_EQ(request(), k57::kNoReply);
        return clock.NowMs() - start;
    }

    k57::test::ScaledClock fast{20};
};

TEST_F(ReplyTimeoutTest, RequestsWaitFourSecondsOfRealTime) {
    T110_Device device;
    uint32_t serial = 0;
    uint32_t took = TimedMs(k57::SystemClock(), [&] { return device.ReadIdInfo(serial); });
    EXPECT_GE(took, 3999u);
    EXPECT_LT(took, 4500u);
}

TEST_F(ReplyTimeoutTest, BeginFirmwareUpdateWaitsTenSeconds) {
    T110_Device device(fast);
    uint32_t took = TimedMs(fast, [&] { return device.BeginFirmwareUpdate(); });
    EXPECT_GE(took, 9999u);
    EXPECT_LT(took, 11000u);
    EXPECT_EQ(device.replyTimeout(), 4000u);
}

TEST_F(ReplyTimeoutTest, BeginWaveUpdateWaitsTwentySecondsAndTheNextRequestFour) {
    T110_Device device(fast);
    uint32_t took = TimedMs(fast, [&] { return device.BeginWaveUpdate(); });
    EXPECT_GE(took, 19999u);
    EXPECT_LT(took, 21000u);
    std::string text;
    took = TimedMs(fast, [&] { return device.ReadVersion(text); });
    EXPECT_GE(took, 3999u);
    EXPECT_LT(took, 5000u);
}

}  // namespace
