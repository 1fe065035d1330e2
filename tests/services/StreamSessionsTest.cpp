#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <memory>
#include <thread>

#include "CanSession.h"
#include "DiagnosticSession.h"
#include "PortChannel.h"
#include "Pty.h"
#include "SimulatedUnits.h"
#include "T110_Device.h"

namespace {

using Clock = std::chrono::steady_clock;

// Runs `step` every few milliseconds, as a window's timer would, until
// `done` holds or `ms` have passed.
bool PumpUntil(const std::function<void()>& step, const std::function<bool()>& done,
               int ms = 5000) {
    return k57::test::WaitUntil(
        [&] {
            step();
            return done();
        },
        ms);
}

class StreamSessionsTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override {
        k57::StoredPort::Write("COM5");
        session = std::make_unique<T110_Device>();
    }

    // A unit plugged in with `options`, and `can` opened on it.
    k57::sim::Unit& PlugAndOpen(k57::sim::UnitOptions options, int bitRateCode = 6) {
        k57::sim::Unit& unit = Plug(5, std::move(options));
        opened = can.Open(link(), bitRateCode);
        EXPECT_EQ(opened.result, k57::kReplyOk);
        return unit;
    }

    // Leaves `unit`'s channel sending, as a reader killed before the close
    // command does, and opens it again: the adapter's own version, and each
    // of the first `frames` frames sent after the new open.
    void ReopenAfterAReaderThatDidNotClose(k57::sim::Unit& unit, int frames) {
        k57::CanLink killed(link());
        ASSERT_TRUE(link().Open());
        ASSERT_TRUE(killed.OpenCan(6));
        link().Close();
        ASSERT_TRUE(k57::test::WaitUntil([&] { return unit.droppedFrames() > 0; }));
        using std::chrono::milliseconds;  // the adapter stamps its monotonic milliseconds
        const auto openedAt = std::chrono::duration_cast<milliseconds>(
                                  Clock::now().time_since_epoch()).count() % 60000;
        opened = can.Open(link(), 6);
        ASSERT_EQ(opened.result, k57::kReplyOk);
        EXPECT_EQ(opened.version, "V1010 vK57SIM ");
        for (int i = 0; i < frames; ++i) {
            std::optional<k57::CanSession::Frame> frame = can.NextFrame(5000);
            ASSERT_TRUE(frame);
            ASSERT_LT((frame->record.stamp - openedAt + 60000) % 60000, 30000) << "frame " << i;
        }
        can.Close();
    }

    std::unique_ptr<T110_Device> session;
    k57::ByteChannel& link() { return session->Channel(); }
    k57::CanSession can;
    k57::CanSession::Opening opened;
};

// --- CAN ------------------------------------------------------------------

TEST_F(StreamSessionsTest, TheCanSessionPumpsFramesIntoCaptureAndLogAndKeepsThemAfterClosing) {
    k57::sim::UnitOptions options;
    options.canFramesPerSecond = 2000;
    options.canIdentifiers = 40;
    k57::sim::Unit& unit = PlugAndOpen(options, 4);
    EXPECT_EQ(opened.version, "V1010 vK57SIM ");
    EXPECT_TRUE(can.IsOpen());
    EXPECT_TRUE(can.Connected());

    const k57::CanCapture& capture = can.capture();
    ASSERT_TRUE(PumpUntil([&] { can.Pump(20, k57::FilterMode::None, false); },
                          [&] { return capture.Records().size() == 40; }));
    // Every frame parsed is counted once and logged once.
    EXPECT_GE(capture.MessageCounter(), 40);
    EXPECT_EQ(size_t(capture.MessageCounter()), can.frames().size());
    EXPECT_EQ(capture.Counter(), 0);  // no filter, nothing counted
    // The filter mode given reaches the capture: changes are counted.
    ASSERT_TRUE(PumpUntil([&] { can.Pump(20, k57::FilterMode::Bit, false); },
                          [&] { return capture.Counter() > 0; }));

    can.Close();
    EXPECT_FALSE(can.IsOpen());
    EXPECT_FALSE(link().IsOpen());
    ASSERT_TRUE(k57::test::WaitUntil([&] { return !unit.canOpen(); }));
    EXPECT_EQ(unit.canCommands(), (std::vector<std::string>{"C", "V", "V", "v", "S4", "O", "C"}));
    EXPECT_EQ(capture.Records().size(), 40u);  // still there to be shown and saved
    EXPECT_EQ(can.Pump(20, k57::FilterMode::None, false), 0u);

    k57::test::TempDir dir;
    QString path = QString::fromStdString(dir.path()) + "/bus.log";
    QString error;
    ASSERT_TRUE(can.Save(path, error)) << error.toStdString();
    std::ifstream saved(path.toStdString());
    size_t lines = 0;
    for (std::string line; std::getline(saved, line); ++lines) {
        ASSERT_EQ(line.front(), '(') << line;
        ASSERT_NE(line.find(") k57 "), std::string::npos) << line;
    }
    EXPECT_EQ(lines, can.frames().size());

    can.Reset();
    EXPECT_TRUE(capture.Records().empty());
    EXPECT_EQ(capture.MessageCounter(), 0);
    EXPECT_EQ(capture.Counter(), 0);
}

TEST_F(StreamSessionsTest, ReopeningStartsTheLogAndTheLineCountAfreshButKeepsTheTable) {
    k57::sim::UnitOptions options;
    options.canIdentifiers = 5;
    PlugAndOpen(options);
    ASSERT_TRUE(PumpUntil([&] { can.Pump(20, k57::FilterMode::None, false); },
                          [&] { return can.capture().Records().size() == 5; }));
    can.Close();
    ASSERT_EQ(can.Open(link(), 6).result, k57::kReplyOk);
    EXPECT_EQ(can.capture().MessageCounter(), 0);
    EXPECT_EQ(can.frames().size(), 0u);
    EXPECT_EQ(can.capture().Records().size(), 5u);
    can.Close();
}

TEST_F(StreamSessionsTest, ReopeningAChannelLeftSendingTakesNothingOfTheEarlierSession) {
    k57::sim::UnitOptions options;
    options.canFramesPerSecond = 1000;
    ReopenAfterAReaderThatDidNotClose(Plug(5, options), 100);
}

// The line is never quiet: waiting for it to be does not hold the open up.
TEST_F(StreamSessionsTest, AFloodingBusHoldsTheReopenBackOnlyBriefly) {
    k57::sim::UnitOptions options;
    options.canFramesPerSecond = 20000;
    options.canIdentifiers = 300;
    Clock::time_point start = Clock::now();
    ReopenAfterAReaderThatDidNotClose(Plug(5, options), 500);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
}

TEST_F(StreamSessionsTest, OpeningFailuresSayWhyAndLeaveThePortClosed) {
    k57::CanSession::Opening none = can.Open(link(), 6);  // nothing plugged in
    EXPECT_EQ(none.result, k57::kPortUnavailable);
    EXPECT_FALSE(none.reason.empty());
    EXPECT_FALSE(can.IsOpen());

    k57::sim::UnitOptions options;
    options.canSilent = true;
    Plug(5, options);
    Clock::time_point start = Clock::now();
    k57::CanSession::Opening silent = can.Open(link(), 6);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(400));
    EXPECT_EQ(silent.result, k57::kNoReply);
    EXPECT_TRUE(silent.version.empty());
    EXPECT_FALSE(can.IsOpen());
    EXPECT_FALSE(link().IsOpen());
    EXPECT_FALSE(can.NextFrame(0));
}

TEST_F(StreamSessionsTest, NextFrameHandsOutFramesWithTheirTimeOfReception) {
    k57::sim::UnitOptions options;
    options.canFramesPerSecond = 1000;
    // A frame is timed by its stamp, when the unit sent it, not when the
    // test got round to reading it: frames sent while the channel was being
    // opened come first. Stamps are whole milliseconds of the unit's clock.
    int64_t before = k57::CandumpNow() - 1000;
    PlugAndOpen(options);
    std::optional<k57::CanSession::Frame> frame;
    for (int i = 0; i < 40 && (frame = can.NextFrame(1000)); ++i) {
        EXPECT_GE(frame->us, before);
        EXPECT_LE(frame->us, k57::CandumpNow());
        before = frame->us;
    }
    ASSERT_TRUE(frame);
    EXPECT_EQ(can.frames().size(), 40u);
    EXPECT_EQ(can.capture().MessageCounter(), 40);
    can.Close();
}

TEST_F(StreamSessionsTest, ASaveThatCannotBeWrittenSaysWhy) {
    k57::test::TempDir dir;
    QString error;
    EXPECT_FALSE(can.Save(QString::fromStdString(dir.path()) + "/no/such/dir/bus.log", error));
    EXPECT_FALSE(error.isEmpty());
}

// A unit unplugged while the channel is open: nothing more can come, and
// the session says so instead of waiting for ever.
TEST(CanSessionLink, AHungUpPortIsNotConnected) {
    k57::sim::Pty pty;
    VCOM_Port port{pty.slavePath().c_str()};
    k57::PortChannel raw{port};
    k57::CanSession can;
    ASSERT_EQ(can.OpenPort(raw).result, k57::kReplyOk);
    EXPECT_TRUE(can.Connected());
    const char frame[] = "t1238010203040506070800FF\r";
    pty.writeAll(frame, sizeof frame - 1);
    std::optional<k57::CanSession::Frame> got = can.NextFrame(1000);
    ASSERT_TRUE(got);
    EXPECT_EQ(got->record.id, 0x123u);
    EXPECT_EQ(got->record.stamp, 0xFF);
    pty.hangUp();
    Clock::time_point start = Clock::now();
    EXPECT_FALSE(can.NextFrame(2000));
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1000));
    EXPECT_FALSE(can.Connected());
}

// --- diagnostic stream ----------------------------------------------------

TEST_F(StreamSessionsTest, TheDiagnosticSessionReadsReadingsAndEventsUntilStopped) {
    k57::sim::UnitOptions options;
    options.diagnosticPeriodMs = 5;
    k57::sim::Unit& unit = Plug(5, options);
    k57::DiagnosticSession diagnostic;
    EXPECT_TRUE(diagnostic.Pump().events.empty());  // not started: nothing read
    ASSERT_EQ(session->EnterDiagnosticMode(), 0);
    diagnostic.Start(link());
    EXPECT_TRUE(diagnostic.Connected());

    std::vector<std::string> events;
    std::optional<int> z;
    ASSERT_TRUE(PumpUntil(
        [&] {
            k57::DiagnosticLines::Result result = diagnostic.Pump();
            events.insert(events.end(), result.events.begin(), result.events.end());
            z = result.axis[2] ? result.axis[2] : z;
        },
        [&] { return events.size() >= 2 && z; }));
    EXPECT_EQ(events[0], "$AccE: Motion detected");
    EXPECT_EQ(events[1], "$VS: Voltage 12.4 V");
    EXPECT_GE(*z, 980);
    EXPECT_LE(*z, 984);
    EXPECT_EQ(unit.requests().size(), 1u);  // nothing sent after the request

    diagnostic.Stop();
    EXPECT_FALSE(link().IsOpen());
    EXPECT_FALSE(diagnostic.Connected());
    EXPECT_TRUE(diagnostic.Pump(k57::DiagnosticSession::kReadBytes, 50).events.empty());
}

TEST_F(StreamSessionsTest, ADiagnosticFloodIsTakenAPieceAtATime) {
    k57::sim::UnitOptions options;
    options.diagnosticFlood = true;
    Plug(5, options);
    k57::DiagnosticSession diagnostic;
    ASSERT_EQ(session->EnterDiagnosticMode(), 0);
    diagnostic.Start(link());
    // Waits for the first bytes, then takes no more than asked for.
    const size_t line = std::string("\r\n$VS: Voltage 12.4 V").size();
    size_t most = 0;
    for (int i = 0; i < 20; ++i) {
        most = std::max(most, diagnostic.Pump(int(10 * line), 500).events.size());
    }
    EXPECT_GT(most, 0u);
    EXPECT_LE(most, 10u);
    diagnostic.Stop();
}

}  // namespace
