// What the trace shows of a unit that misbehaves: each of the simulated
// unit's faults, seen from the tool's side and from the unit's.

#include <gtest/gtest.h>

#include "Messages.h"
#include "QuickSessions.h"
#include "SimulatedUnits.h"
#include "Trace.h"

using namespace orvan::tms::messages;
using Fault = k57::sim::UnitOptions::Fault;
namespace sim = k57::sim;

namespace {

std::string Text(const k57::Trace& trace) {
    std::string text;
    for (const std::string& line : trace.Lines()) {
        text += line + "\n";
    }
    return text;
}

class FaultTraceTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override {
        trace.Clear();
        trace.SetOn(true);
    }
    void TearDown() override {
        trace.SetOn(false);
        trace.Clear();
    }

    std::unique_ptr<T110_Device> SessionOn(sim::Unit& unit) {
        unit.trace().SetOn(true);
        auto device = k57::test::QuickSession();
        device->SetPortName(unit.devicePath().c_str());
        return device;
    }

    std::string Tool() const { return Text(trace); }

    k57::Trace& trace = k57::Trace::Global();
};

#define EXPECT_HAS(text, part) EXPECT_NE((text).find(part), std::string::npos) << (text)

TEST_F(FaultTraceTest, AGoodExchangeShowsBothFramesFromBothEnds) {
    sim::Unit& unit = Plug(5);
    auto device = SessionOn(unit);
    uint32_t serial = 0;
    ASSERT_EQ(device->ReadIdInfo(serial), 1);
    std::string tool = Tool();
    EXPECT_HAS(tool, "TX  ReqIdInfoMessage (10)  8 bytes\n        0000  0A 00 00 00 00 00 00 00");
    EXPECT_HAS(tool, "RX  IdInfoMessage (11)  12 bytes  ReplyOk (1)\n        0000  0B 00 04 00 4E 61 BC 00");
    std::string unitSide = Text(unit.trace());
    EXPECT_HAS(unitSide, "RX  ReqIdInfoMessage (10)  8 bytes\n        0000  0A 00 00 00 00 00 00 00");
    EXPECT_HAS(unitSide, "TX  IdInfoMessage (11)  12 bytes\n        0000  0B 00 04 00 4E 61 BC 00");
}

TEST_F(FaultTraceTest, SilenceShowsTheRequestThenTheTimeOut) {
    sim::UnitOptions options;
    options.fault = Fault::Silent;
    sim::Unit& unit = Plug(5, options);
    auto device = SessionOn(unit);
    uint32_t serial = 0;
    ASSERT_EQ(device->ReadIdInfo(serial), -2);
    std::string tool = Tool();
    EXPECT_HAS(tool, "TX  ReqIdInfoMessage (10)");
    EXPECT_HAS(tool, "--  no reply within 4000 ms, nothing received  NoReply (-2)");
    EXPECT_HAS(Text(unit.trace()), "--  no reply to ReqIdInfoMessage (10)");
}

TEST_F(FaultTraceTest, AWrongTypeOrUndecodableReplyIsShownWithWhatWasExpected) {
    sim::UnitOptions options;
    options.fault = Fault::WrongType;
    sim::Unit& unit = Plug(5, options);
    auto device = SessionOn(unit);
    std::string text;
    ASSERT_EQ(device->ReadVersion(text), -3);
    EXPECT_HAS(Tool(), "RX  IdInfoMessage (11), expected TextMessage (150), skipped  12 bytes\n");
    EXPECT_HAS(Tool(), "--  no reply within 4000 ms  BadReply (-3)");

    trace.Clear();
    unit.configure([](sim::UnitOptions& o) { o.fault = Fault::Undecodable; });
    uint32_t serial = 0;
    ASSERT_EQ(device->ReadIdInfo(serial), -3);
    EXPECT_HAS(Tool(), "RX  TextMessage (150), cannot be decoded, skipped  11 bytes\n"
                       "        0000  96 00 03 00 05 00 4B 00  00 00 00");
}

TEST_F(FaultTraceTest, AnOversizeHeaderIsShownSkippedThenTheTimeOut) {
    sim::UnitOptions options;
    options.fault = Fault::Oversize;
    sim::Unit& unit = Plug(5, options);
    auto device = SessionOn(unit);
    uint32_t serial = 0;
    ASSERT_EQ(device->ReadIdInfo(serial), -2);
    std::string tool = Tool();
    EXPECT_HAS(tool, "RX  partial frame: IdInfoMessage (11), announces 1017 bytes, more than 1016: "
                     "no frame, skipped");
    EXPECT_HAS(tool, "        0000  0B 00 F9 03");
    EXPECT_HAS(tool, "--  no reply within 4000 ms  NoReply (-2)");
    EXPECT_HAS(Text(unit.trace()), "TX  IdInfoMessage (11)  1025 bytes");
}

TEST_F(FaultTraceTest, ADribbleTooSlowLeavesThePartialFrame) {
    sim::UnitOptions options;
    options.dribbleBytes = 22;
    options.dribblePauseMs = 600;  // the quick session gives up after 400 ms
    sim::Unit& unit = Plug(5, options);
    auto device = SessionOn(unit);
    std::string text;
    ASSERT_EQ(device->ReadVersion(text), -2);
    std::string tool = Tool();
    EXPECT_HAS(tool, "RX  partial frame: TextMessage (150), the rest never came  22 bytes\n"
                     "        0000  96 00 24 00 22 00 4B 35  37 42 54 0A 30 30 30 2E");
    EXPECT_HAS(tool, "--  no reply within 4000 ms  NoReply (-2)");
    EXPECT_HAS(Text(unit.trace()), "TX  TextMessage (150), in 2 pieces  44 bytes");
}

TEST_F(FaultTraceTest, AHungUpUnitShowsTheLastFragmentUnanswered) {
    sim::UnitOptions options;
    options.hangUpAfterFragments = 1;
    sim::Unit& unit = Plug(5, options);
    auto device = SessionOn(unit);
    const uint8_t data[4] = {1, 2, 3, 4};
    ASSERT_EQ(device->BeginFirmwareUpdate(), 1);
    ASSERT_EQ(device->SendDataFragment(data, 0, 4), 1);
    trace.Clear();
    ASSERT_EQ(device->SendDataFragment(data, 4, 4), -2);
    std::vector<k57::TraceEntry> entries = trace.Entries();
    ASSERT_EQ(entries.size(), 2u) << Tool();
    EXPECT_EQ(entries[0].what, "DataFragmentMessage (192)");
    EXPECT_EQ(entries[0].bytes.size(), 18u);
    EXPECT_EQ(entries[1].what, "no reply within 4000 ms, nothing received");
    EXPECT_EQ(entries[1].outcome, "NoReply (-2)");
}

TEST_F(FaultTraceTest, APortThatWillNotOpenIsNoted) {
    auto device = k57::test::QuickSession();
    device->SetPortName("COM77");
    uint32_t serial = 0;
    ASSERT_EQ(device->ReadIdInfo(serial), -1);
    EXPECT_HAS(Tool(), "COM77 cannot be opened");
    EXPECT_HAS(Tool(), "PortUnavailable (-1)");
}

}  // namespace
