#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "Elapsed.h"
#include "Messages.h"
#include "Pty.h"
#include "T110_Device.h"
#include "TempDir.h"

using namespace orvan::tms::messages;

namespace {

using SteadyClock = std::chrono::steady_clock;
using k57::test::ElapsedMs;

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
        // Sized once and filled: GCC 12 takes the growing inserts of a
        // four-byte start for a write past its end (-Warray-bounds).
        Bytes frame(4 + payload.size() + 4, 0);
        frame[0] = uint8_t(word);
        frame[1] = uint8_t(word >> 8);
        frame[2] = uint8_t(payload.size());
        frame[3] = uint8_t(payload.size() >> 8);
        std::copy(payload.begin(), payload.end(), frame.begin() + 4);
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
    auto start = SteadyClock::now();
    EXPECT_EQ(device.WaitReply(kSettings, reply), -2);
    EXPECT_GE(ElapsedMs(start), 399);  // the tick clock counts whole milliseconds
    EXPECT_FALSE(reply);
}

// Frames that are not the reply are let go, and the wait reads on to the
// end of its time-out before it says what came instead.
TEST_F(ReplyReaderTest, WrongOrUndecodableRepliesGiveMinusThreeWhenTheTimeOutEnds) {
    Send(Frame(kText, {9, 0, 'x'}));  // its count disagrees with its length
    auto start = SteadyClock::now();
    EXPECT_EQ(device.WaitReply(kIdInfo, reply), -3);
    EXPECT_GE(ElapsedMs(start), 399);
    EXPECT_FALSE(device.port().BytesToRead());
    Send(Frame(kText, {2, 0, 'a', 'b', 'c'}));
    EXPECT_EQ(device.WaitReply(kText, reply), -3);
    Send(Frame(kIdInfo, {1, 2, 3, 4}));
    EXPECT_EQ(device.WaitReply(kText, reply), -3);
    EXPECT_FALSE(reply);
}

// What an earlier exchange or a monitor left on the line comes before the
// reply; the reader finds the reply behind it within the same time-out.
TEST_F(ReplyReaderTest, TheReplyIsFoundBehindWhatCannotBeAFrame) {
    std::string can = "t3508112233445566778899\r\a\r";
    Bytes noise(can.begin(), can.end());
    // An IdInfo header announcing no payload, which an IdInfo cannot have.
    noise.insert(noise.end(), {0xFF, 0xFF, 0x0B, 0x00, 0x00, 0x00, 0x00});
    Bytes reply1 = Frame(kIdInfo, {7, 0, 0, 0});
    noise.insert(noise.end(), reply1.begin(), reply1.end());
    Send(noise);
    ASSERT_EQ(device.WaitReply(kIdInfo, reply), 1);
    EXPECT_EQ(static_cast<IdInfoMessage&>(*reply).getValue(), 7u);

    // A header announcing one byte more than a reply can hold is no frame.
    Bytes oversize = {uint8_t(kSettings), 0, 0xF9, 0x03};
    Bytes settings = Frame(kSettings, {'a', '=', '1', 0});
    oversize.insert(oversize.end(), settings.begin(), settings.end());
    Send(oversize);
    ASSERT_EQ(device.WaitReply(kSettings, reply), 1);
    EXPECT_EQ(static_cast<SettingsMessage&>(*reply).text(), "a=1");

    // A header that fits but whose payload does not decode may have been
    // noise: the reply inside it is still found.
    Bytes hiding = {uint8_t(kText), 0, 12, 0};
    hiding.insert(hiding.end(), reply1.begin(), reply1.end());
    Send(hiding);
    ASSERT_EQ(device.WaitReply(kIdInfo, reply), 1);
    EXPECT_EQ(static_cast<IdInfoMessage&>(*reply).getValue(), 7u);
}

TEST_F(ReplyReaderTest, AFrameOfAnotherTypeIsLetGoAndTheReplyBehindItTaken) {
    Bytes two = Frame(kIdInfo, {1, 0, 0, 0});  // a late answer to an earlier request
    Bytes version = Frame(kText, {3, 0, 'K', '5', '7'});
    two.insert(two.end(), version.begin(), version.end());
    Send(two);
    auto start = SteadyClock::now();
    ASSERT_EQ(device.WaitReply(kText, reply), 1);
    EXPECT_LT(ElapsedMs(start), 300);
    EXPECT_EQ(static_cast<TextMessage&>(*reply).text(), "K57");
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
