// The unit still sending the rest of something when the next request goes
// out: a reply cut off by its time-out, the CAN channel's frame lines. The
// request after it gets its own reply, and a write is acknowledged as
// written. (A reply a stopped program never read: the k57ctl tests.)

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "Messages.h"
#include "Pty.h"
#include "SimulatedUnits.h"
#include "T110_Device.h"
#include "Trace.h"

using namespace orvan::tms::messages;

namespace {

class LineLeftoversTest : public k57::test::SimulatedUnits {};

// Three bytes every 200 ms: the settings reply takes 1.2 s, and the session
// gives up after 0.5 s, with the rest still coming.
TEST_F(LineLeftoversTest, AWriteAfterAReadCutOffByItsTimeOutIsAcknowledged) {
    k57::StoredPort::Write("COM5");
    k57::sim::UnitOptions options;
    options.dribbleBytes = 3;
    options.dribblePauseMs = 200;
    options.settings = "PinCod=1234\n";
    k57::sim::Unit& unit = Plug(5, options);
    T110_Device device;
    device.setReplyTimeout(500);
    std::string text;
    ASSERT_EQ(device.ReadSettings(text), k57::kNoReply);
    device.setReplyTimeout(T110_Device::kReplyTimeout);

    EXPECT_EQ(device.WriteSettings("PinCod=4321\n"), k57::kReplyOk);
    EXPECT_EQ(unit.settings(), "PinCod=4321\n");
    EXPECT_EQ(device.ReadSettings(text), k57::kReplyOk);
    EXPECT_EQ(text, "PinCod=4321\n");
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
