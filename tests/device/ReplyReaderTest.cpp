#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "Messages.h"
#include "Pty.h"
#include "T110_Device.h"
#include "TempDir.h"

using namespace orvan::tms::messages;

namespace {

using Clock = std::chrono::steady_clock;

int ElapsedMs(Clock::time_point since) {
    return int(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

// The reader against bytes the test writes itself on the unit's side.
class ReplyReaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        device.SetPortName(pty.slavePath().c_str());
        device.setReplyTimeout(400);
        ASSERT_TRUE(device.port().Open());
    }

    void Send(const Bytes& bytes) { ASSERT_TRUE(pty.writeAll(bytes.data(), bytes.size())); }

    static Bytes Frame(uint16_t word, const Bytes& payload) {
        Bytes frame = {uint8_t(word), uint8_t(word >> 8), uint8_t(payload.size()),
                       uint8_t(payload.size() >> 8)};
        frame.insert(frame.end(), payload.begin(), payload.end());
        frame.insert(frame.end(), 4, 0);
        return frame;
    }

    k57::test::IsolatedSettings settings;
    k57::sim::Pty pty;
    T110_Device device;
    std::unique_ptr<AbstractMessage> reply;
};

TEST_F(ReplyReaderTest, TakesTheFirstFrameAndLeavesTheSecondQueued) {
    Bytes two = Frame(kIdInfo, {1, 0, 0, 0});
    Bytes second = Frame(kText, {1, 0, 'x'});
    two.insert(two.end(), second.begin(), second.end());
    Send(two);
    EXPECT_EQ(device.WaitReply(kIdInfo, reply), 1);
    EXPECT_EQ(static_cast<IdInfoMessage&>(*reply).getValue(), 1u);
    for (int i = 0; i < 100 && device.Channel().Available() < int(second.size()); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_EQ(device.Channel().Available(), int(second.size()));
}

TEST_F(ReplyReaderTest, FlaggedReplyMatchesItsCode) {
    Send(Frame(0x800B, {0xFF, 0xFF, 0xFF, 0xFF}));
    ASSERT_EQ(device.WaitReply(kIdInfo, reply), 1);
    EXPECT_TRUE(reply->getFlag());
}

TEST_F(ReplyReaderTest, LargestReplyIsAcceptedAndOneMoreByteIsNot) {
    Bytes payload(1016, 'a');
    payload.back() = 0;
    Send(Frame(kSettings, payload));
    ASSERT_EQ(device.WaitReply(kSettings, reply), 1);
    EXPECT_EQ(static_cast<SettingsMessage&>(*reply).text().size(), 1015u);

    Send(Frame(kSettings, Bytes(1017, 'a')));
    auto start = Clock::now();
    EXPECT_EQ(device.WaitReply(kSettings, reply), -2);
    EXPECT_GE(ElapsedMs(start), 399);  // the tick clock counts whole milliseconds
    EXPECT_FALSE(reply);
}

TEST_F(ReplyReaderTest, WrongOrUndecodableRepliesGiveMinusThreeAtOnce) {
    Send(Frame(kIdInfo, {1, 2, 3}));
    EXPECT_EQ(device.WaitReply(kIdInfo, reply), -3);
    Send(Frame(kIdInfo, {1, 2, 3, 4, 5}));
    EXPECT_EQ(device.WaitReply(kIdInfo, reply), -3);
    Send(Frame(kText, {2, 0, 'a', 'b', 'c'}));
    EXPECT_EQ(device.WaitReply(kText, reply), -3);
    Send(Frame(kIdInfo, {1, 2, 3, 4}));
    auto start = Clock::now();
    EXPECT_EQ(device.WaitReply(kText, reply), -3);
    EXPECT_LT(ElapsedMs(start), 200);
    EXPECT_FALSE(reply);
}

TEST_F(ReplyReaderTest, AFrameArrivingInPiecesIsAssembled) {
    Bytes frame = Frame(kText, {5, 0, 'K', '\n', '1', '\n', 'x'});
    std::thread unit([&] {
        for (uint8_t byte : frame) {
            pty.writeAll(&byte, 1);
            std::this_thread::sleep_for(std::chrono::milliseconds(15));
        }
    });
    EXPECT_EQ(device.WaitReply(kText, reply), 1);
    unit.join();
    ASSERT_TRUE(reply);
    EXPECT_EQ(static_cast<TextMessage&>(*reply).text(), "K\n1\nx");
}

TEST_F(ReplyReaderTest, WaitingDoesNotBurnTheProcessor) {
    std::clock_t cpuBefore = std::clock();
    EXPECT_EQ(device.WaitReply(kIdInfo, reply), -2);
    double cpuMs = 1000.0 * double(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
    EXPECT_LT(cpuMs, 100.0);
}

}  // namespace
