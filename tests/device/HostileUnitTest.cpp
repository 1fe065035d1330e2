// The session against a unit that misbehaves on purpose, played byte by
// byte on a pseudo-terminal: each case ends with its result within its
// time-out, without keeping a processor busy.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>

#include "Messages.h"
#include "PortMapping.h"
#include "Pty.h"
#include "QuickSessions.h"
#include "SimulatedUnits.h"

using namespace orvan::tms::messages;

namespace {

using Bytes = std::vector<uint8_t>;
using SteadyClock = std::chrono::steady_clock;

Bytes Header(uint16_t word, uint16_t length) {
    return {uint8_t(word), uint8_t(word >> 8), uint8_t(length), uint8_t(length >> 8)};
}

class HostileUnitTest : public ::testing::Test {
  protected:
    void SetUp() override { device->SetPortName(pty.slavePath().c_str()); }

    void TearDown() override {
        if (unit_.joinable()) {
            unit_.join();
        }
    }

    // The unit answers the next request with `bytes`. (The port drops what
    // came before it opened.)
    void Answer(const Bytes& bytes) {
        if (unit_.joinable()) {
            unit_.join();
        }
        while (!pty.readSome(0).empty()) {
        }
        unit_ = std::thread([this, bytes] {
            // A whole request first: the reply must not come before it.
            std::string request;
            while (request.size() < 8) {
                std::string more = pty.readSome(2000);
                if (more.empty()) {
                    return;
                }
                request += more;
            }
            pty.writeAll(bytes.data(), bytes.size());
        });
    }

    // Runs `request`; its result, and the wall and processor time it took.
    template <typename Request>
    int Timed(Request request) {
        auto start = SteadyClock::now();
        std::clock_t cpu = std::clock();
        int result = request();
        cpuMs = 1000.0 * double(std::clock() - cpu) / CLOCKS_PER_SEC;
        tookMs = std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - start)
                     .count();
        return result;
    }

    int ReadVersion() {
        std::string text;
        return Timed([&] { return device->ReadVersion(text); });
    }

    k57::test::IsolatedSettings settings;
    k57::sim::Pty pty;
    std::unique_ptr<T110_Device> device = k57::test::QuickSession();  // 4 s in 0.4 s
    std::thread unit_;
    double cpuMs = 0;
    long long tookMs = 0;
};

// Headers no frame can have are let go as noise: the wait runs out.
TEST_F(HostileUnitTest, AnnouncedLengthsTheReaderCannotTake) {
    Answer(Header(kText, 65535));
    EXPECT_EQ(ReadVersion(), k57::kNoReply);
    EXPECT_GE(tookMs, 390);
    EXPECT_LT(cpuMs, 100);

    Bytes empty = Header(kText, 0);  // N = 0: a text has at least its count
    empty.resize(8, 0);
    Answer(empty);
    EXPECT_EQ(ReadVersion(), k57::kNoReply);

    Bytes unknown = Header(0x1234, 2);  // a type word no message has
    unknown.resize(10, 0);
    Answer(unknown);
    EXPECT_EQ(ReadVersion(), k57::kNoReply);
    EXPECT_EQ(device->LastFailure().replyType, 0);

    // A text frame whose count disagrees with its length is a frame that
    // cannot be decoded: -3 when the time-out ends, and what it was.
    Bytes miscounted = Header(kText, 3);
    miscounted.insert(miscounted.end(), {9, 0, 'x', 0, 0, 0, 0});
    Answer(miscounted);
    EXPECT_EQ(ReadVersion(), k57::kBadReply);
    EXPECT_GE(tookMs, 390);
    EXPECT_EQ(device->LastFailure().replyType, kText);
    EXPECT_EQ(device->LastFailure().replyLength, 3);
    EXPECT_FALSE(device->LastFailure().decoded);
}

TEST_F(HostileUnitTest, ATrailerCutShortRunsOutTheTimeOut) {
    Bytes frame = Header(kText, 3);
    frame.insert(frame.end(), {'a', '\n', 'b', 0, 0});  // two trailer bytes of four
    Answer(frame);
    EXPECT_EQ(ReadVersion(), k57::kNoReply);
    EXPECT_GE(tookMs, 390);
    EXPECT_LT(cpuMs, 100);
}

TEST_F(HostileUnitTest, OneByteEveryHundredMillisecondsStillMakesAReply) {
    device = std::make_unique<T110_Device>();  // the real four seconds
    device->SetPortName(pty.slavePath().c_str());
    IdInfoMessage reply(7);
    Bytes frame = reply.encode();
    frame.insert(frame.end(), 4, 0);
    std::thread unit([&] {
        pty.readSome(2000);  // the request
        for (uint8_t byte : frame) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            pty.writeAll(&byte, 1);
        }
    });
    uint32_t serial = 0;
    EXPECT_EQ(Timed([&] { return device->ReadIdInfo(serial); }), k57::kReplyOk);
    unit.join();
    EXPECT_EQ(serial, 7u);
    EXPECT_LT(cpuMs, 100);
}

TEST_F(HostileUnitTest, AnEndlessFloodEndsWithTheTimeOut) {
    std::atomic<bool> flooding{true};
    std::thread unit([&] {
        std::string noise(512, '\xFF');
        while (flooding) {
            pty.offer(noise);
            pty.readSome(1);
        }
    });
    EXPECT_EQ(ReadVersion(), k57::kNoReply);
    flooding = false;
    unit.join();
    EXPECT_LT(tookMs, 1000);
}

TEST_F(HostileUnitTest, AHangUpMidReplyEndsTheWaitAtOnce) {
    std::thread unplug([&] {
        pty.readSome(2000);  // the request
        Bytes part = Header(kText, 20);
        pty.writeAll(part.data(), part.size());
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        pty.hangUp();
    });
    device = std::make_unique<T110_Device>();  // the real four seconds
    device->SetPortName(pty.slavePath().c_str());
    EXPECT_EQ(ReadVersion(), k57::kLineLost);
    unplug.join();
    // A new session first waits for a quiet line; then 50 ms before the
    // hang-up, then at once.
    EXPECT_LT(tookMs, T110_Device::kQuietMs + 150);
    EXPECT_LT(cpuMs, 50);
}

TEST_F(HostileUnitTest, AUnitThatNeverReadsCannotHoldTheWriter) {
    // Nothing is read on the unit's side: the terminal's queue fills and
    // the writer gives up after the reply time-out.
    Bytes block(1024, 0x5A);
    int result = k57::kReplyOk;
    for (int i = 0; i < 64 && result == k57::kReplyOk; ++i) {
        result = Timed([&] { return device->SendDataFragment(block.data(), 0, 1024); });
    }
    EXPECT_EQ(result, k57::kNoReply);
    EXPECT_LT(tookMs, 1500);
}

class HangUpTest : public k57::test::SimulatedUnits {};

TEST_F(HangUpTest, ThePortWorksAgainWhenTheUnitComesBack) {
    k57::StoredPort::Write("COM5");
    auto first = std::make_unique<k57::sim::Pty>();
    ASSERT_TRUE(k57::ports::Register(5, first->slavePath()));
    T110_Device device;
    std::thread unplug([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        first->hangUp();
    });
    uint32_t serial = 0;
    auto start = SteadyClock::now();
    EXPECT_EQ(device.ReadIdInfo(serial), k57::kLineLost);
    unplug.join();
    EXPECT_LT(SteadyClock::now() - start, std::chrono::milliseconds(150));

    Plug(5);  // plugged in again, as COM5
    EXPECT_EQ(device.ReadIdInfo(serial), k57::kReplyOk);
    EXPECT_EQ(serial, 12345678u);
}

}  // namespace
