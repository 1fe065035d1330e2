// The unit still sending the rest of something when the next request goes
// out: a reply cut off by its time-out, a reply to a session that was
// dropped before it read it, the CAN channel's frame lines. The request
// after it gets its own reply, and a write is acknowledged as written.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "Messages.h"
#include "Pty.h"
#include "SimulatedUnits.h"
#include "T110_Device.h"
#include "Trace.h"

using namespace orvan::tms::messages;
using k57::test::WaitUntil;

namespace {

class LineLeftoversTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override { k57::StoredPort::Write("COM5"); }

    // A unit that sends its replies three bytes at a time, 200 ms apart:
    // its settings reply takes 1.2 s.
    k57::sim::Unit& DribblingUnit() {
        k57::sim::UnitOptions options;
        options.dribbleBytes = 3;
        options.dribblePauseMs = 200;
        options.settings = "PinCod=1234\n";
        return Plug(5, options);
    }

    // Sends a request on `device`'s port as a program would that is stopped
    // before it reads the reply, once the reply has begun to arrive.
    static void SendAndLeave(T110_Device& device, AbstractMessage& request) {
        ASSERT_TRUE(device.Channel().Open());
        VCOMOutputStream out(&device.port());
        ASSERT_TRUE(k57::WriteWithin(request, out, 1000, k57::SystemClock()));
        ASSERT_TRUE(WaitUntil([&] { return device.Channel().Available() > 0; }));
    }
};

TEST_F(LineLeftoversTest, AWriteAfterAReadCutOffByItsTimeOutIsAcknowledged) {
    k57::sim::Unit& unit = DribblingUnit();
    T110_Device device;
    device.setReplyTimeout(500);
    std::string text;
    ASSERT_EQ(device.ReadSettings(text), k57::kNoReply);  // the rest is still coming
    device.setReplyTimeout(T110_Device::kReplyTimeout);

    EXPECT_EQ(device.WriteSettings("PinCod=4321\n"), k57::kReplyOk);
    EXPECT_EQ(unit.settings(), "PinCod=4321\n");
    EXPECT_EQ(device.ReadSettings(text), k57::kReplyOk);
    EXPECT_EQ(text, "PinCod=4321\n");
}

TEST_F(LineLeftoversTest, ANewSessionIsNotMisledByTheReplyToOneDroppedBeforeItRead) {
    k57::sim::Unit& unit = DribblingUnit();
    {
        T110_Device dropped;
        ReqSettingsMessage request;
        SendAndLeave(dropped, request);
    }
    T110_Device device;
    uint32_t serial = 0;
    EXPECT_EQ(device.ReadIdInfo(serial), k57::kReplyOk);
    EXPECT_EQ(serial, 12345678u);
    EXPECT_EQ(unit.requests().back(), kReqIdInfo);
}

// A CAN reader that let the port go while the unit still sent frame
// lines: they come on after the next session opened the port. The trace
// shows them let go.
TEST(LineLeftovers, CanFrameLinesStillComingAreSkippedBeforeTheRequest) {
    k57::test::IsolatedSettings settings;
    k57::sim::Pty pty;
    T110_Device device;
    device.SetPortName(pty.slavePath().c_str());
    k57::Trace& trace = k57::Trace::Global();
    trace.Clear();
    trace.SetOn(true);
    std::thread unit([&] {
        // Frame lines until the request comes, and a few in flight after it.
        std::string request;
        for (int i = 0; i < 2000 && request.size() < 8; ++i) {
            pty.offer("t3508112233445566778899\r");
            request += pty.readSome(5);
        }
        for (int i = 0; i < 20; ++i) {
            pty.offer("t3508112233445566778899\r");
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        TextMessage reply("K57BT");
        Bytes frame = reply.encode();
        frame.insert(frame.end(), 4, 0);
        pty.writeAll(frame.data(), frame.size());
    });
    std::string text;
    int result = device.ReadVersion(text);
    unit.join();
    bool skipped = false;
    for (const k57::TraceEntry& entry : trace.Entries()) {
        skipped = skipped || entry.what.rfind("skipped", 0) == 0;
    }
    trace.SetOn(false);
    trace.Clear();
    EXPECT_EQ(result, k57::kReplyOk);
    EXPECT_EQ(text, "K57BT");
    EXPECT_TRUE(skipped);
}

}  // namespace
