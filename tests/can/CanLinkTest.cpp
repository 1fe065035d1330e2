#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <set>
#include <thread>

#include "CanLink.h"
#include "PortChannel.h"
#include "Pty.h"
#include "SimulatedUnits.h"
#include "T110_Device.h"
#include "Trace.h"

namespace {

class CanLinkTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override { k57::StoredPort::Write("COM5"); }
};

TEST_F(CanLinkTest, TheHandshakeCollectsBothVersionReplies) {
    k57::sim::Unit& unit = Plug(5);
    T110_Device device;
    k57::CanLink link(device.Channel());
    ASSERT_TRUE(device.port().Open());
    EXPECT_EQ(link.OpenCan(4), "V1010 vK57SIM ");
    EXPECT_TRUE(unit.canOpen());
    link.CloseCan();
    EXPECT_FALSE(device.port().IsOpen());
    ASSERT_TRUE(k57::test::WaitUntil([&] { return unit.canCommands().size() == 7; }));
    EXPECT_EQ(unit.canCommands(), (std::vector<std::string>{"C", "V", "V", "v", "S4", "O", "C"}));
}

TEST_F(CanLinkTest, ASilentUnitFailsTheHandshakeQuickly) {
    k57::sim::UnitOptions options;
    options.canSilent = true;
    Plug(5, options);
    T110_Device device;
    k57::CanLink link(device.Channel());
    ASSERT_TRUE(device.port().Open());
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(link.OpenCan(6));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(400));
}

// The line reader over a bare terminal, bytes written into it by hand.
class CanLineReader : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(port.Open()); }

    k57::sim::Pty pty;
    VCOM_Port port{pty.slavePath().c_str()};
    k57::PortChannel raw{port};
    k57::CanLink link{raw};
};

TEST_F(CanLineReader, HalfALineWaitsForItsRest) {
    pty.writeAll("t1238010203", 11);
    EXPECT_FALSE(link.ReadCanLine(20));
    pty.writeAll("04050607081A2B\rV1", 17);
    EXPECT_EQ(link.ReadCanLine(1000),
              "t12380102030405060708"
              "1A2B\r");
    EXPECT_FALSE(link.ReadCanLine(0));
    pty.writeAll("010\r", 4);
    EXPECT_EQ(link.ReadCanLine(1000), "V1010\r");
}

TEST_F(CanLineReader, LinesInOneReadAndOverlongLinesWrapInTheBuffer) {
    // 64 bytes with the CR fit the buffer; a 70-byte line wraps, keeping
    // what followed its 65th byte.
    std::string fits = std::string(63, 'a') + "\r", wraps = std::string(69, 'b') + "\r";
    std::string text = "t1231AA\r" + fits + wraps + "t1231BB\rt12";
    pty.writeAll(text.data(), text.size());
    std::string line;
    ASSERT_TRUE(link.ReadCanLine(line, 1000));
    EXPECT_EQ(line, "t1231AA\r");
    ASSERT_TRUE(link.ReadCanLine(line, 1000));
    EXPECT_EQ(line, fits);
    ASSERT_TRUE(link.ReadCanLine(line, 1000));
    EXPECT_EQ(line, "bbbb\r");
    ASSERT_TRUE(link.ReadCanLine(line, 1000));
    EXPECT_EQ(line, "t1231BB\r");
    EXPECT_FALSE(link.ReadCanLine(line, 0));
    pty.writeAll("31CC\r", 5);
    ASSERT_TRUE(link.ReadCanLine(line, 1000));
    EXPECT_EQ(line, "t1231CC\r");  // the piece held back joins its rest
}

// An adapter on a bare terminal: each command line received is answered
// with `answer(command)`.
class ScriptedAdapter : public CanLineReader {
  protected:
    void Answer(std::function<std::string(const std::string&)> answer) {
        answering = std::thread([this, answer] {
            for (std::string received; !stop;) {
                received += pty.readSome(10);
                for (size_t cr; (cr = received.find('\r')) != std::string::npos;
                     received.erase(0, cr + 1)) {
                    std::string reply = answer(received.substr(0, cr));
                    pty.writeAll(reply.data(), reply.size());
                }
            }
        });
    }
    void TearDown() override {
        stop = true;
        answering.join();
    }
    static std::string Acknowledged(const std::string& command) {
        return command == "V" ? "V1010\r" : command == "v" ? "vK57SIM\r" : "\r";
    }

    std::atomic<bool> stop{false};
    std::thread answering;
};

// What was on the line before, noise and frame lines before a reply, a
// bell: none answers a command, and frames that came with the open are no
// frames of the capture. What was let go is in the trace.
TEST_F(ScriptedAdapter, OnlyEachCommandsOwnReplyAnswersIt) {
    const std::string frame = "t12380102030405060708ABCD\r", before = "V1009\r" + frame + "t45";
    pty.writeAll(before.data(), before.size());
    Answer([&](const std::string& command) {
        return command == "O" ? frame + "\rt3218112233445566778801F4\r"
                              : "\x01\xFEgarbage" + frame + "\a" + Acknowledged(command);
    });
    k57::Trace::Global().Clear();
    k57::Trace::Global().SetOn(true);
    EXPECT_EQ(link.OpenCan(6), "V1010 vK57SIM ");
    k57::Trace::Global().SetOn(false);
    EXPECT_EQ(link.ReadCanLine(1000), "t3218112233445566778801F4\r");
    std::multiset<std::string> traced;
    for (const k57::TraceEntry& entry : k57::Trace::Global().Entries()) {
        traced.insert(entry.what);
    }
    EXPECT_GE(traced.count("skipped: on the CAN line before the handshake"), 1u);
    // The close's reply and the wake-up's, at least, before the version's.
    EXPECT_GE(traced.count("skipped: not the reply to V"), 2u);
    EXPECT_EQ(traced.count("skipped: not the reply to O"), 1u);
}

// The unit's replies to the close and the open are not part of the
// protocol: a unit that sends neither still opens, and its first frame after
// the open is the capture's first.
TEST_F(ScriptedAdapter, AnOpenOrACloseWithoutReplyStillOpens) {
    const std::string frame = "t3218112233445566778801F4\r";
    Answer([&](const std::string& command) {
        return command == "O" ? frame : command == "C" ? std::string() : Acknowledged(command);
    });
    EXPECT_EQ(link.OpenCan(6), "V1010 vK57SIM ");
}

// Frame lines never answer a query, even with no reply in sight.
TEST_F(ScriptedAdapter, FramesAloneAnswerNoQuery) {
    Answer([](const std::string&) { return std::string("t12380102030405060708ABCD\r"); });
    EXPECT_FALSE(link.OpenCan(6));
}

}  // namespace
