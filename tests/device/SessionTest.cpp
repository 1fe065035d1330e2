#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "Crc32.h"
#include "Messages.h"
#include "QuickSessions.h"
#include "SimulatedUnits.h"
#include "T110_Device.h"

using Fault = k57::sim::UnitOptions::Fault;

namespace {

class SessionTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override { k57::StoredPort::Write("COM5"); }

    // A session on the stored port whose time-outs pass quickly, for the
    // failure paths; the real time-outs have tests of their own.
    static std::unique_ptr<T110_Device> QuickSession() { return k57::test::QuickSession(); }
};

TEST_F(SessionTest, EveryRequestIsAnsweredByTheUnit) {
    k57::sim::UnitOptions options;
    options.serial = 4294967295u;
    options.settings = "MicLevel=10\nNoteKick=5\n";
    k57::sim::Unit& unit = Plug(5, options);
    T110_Device device;

    uint32_t serial = 0;
    EXPECT_EQ(device.ReadIdInfo(serial), 1);
    EXPECT_EQ(serial, 4294967295u);
    EXPECT_EQ(device.SetId(77), 1);
    EXPECT_EQ(unit.serial(), 77u);

    std::string text;
    EXPECT_EQ(device.ReadVersion(text), 1);
    EXPECT_EQ(text, "K57BT\n000.008\nMay 12 2017 09:30:00");
    EXPECT_EQ(device.ReadSettings(text), 1);
    EXPECT_EQ(text, "MicLevel=10\nNoteKick=5\n");

    EXPECT_EQ(device.BeginFirmwareUpdate(), 1);
    const uint8_t image[] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b', 'c'};
    EXPECT_EQ(device.SendDataFragment(image, 0, 6), 1);
    EXPECT_EQ(device.SendDataFragment(image + 6, 6, 5), 1);
    EXPECT_EQ(device.CommitUpdate(0xCA6598D0, 3), 1);
    EXPECT_EQ(unit.image(), std::vector<uint8_t>(image, image + sizeof image));
    EXPECT_EQ(device.BeginWaveUpdate(), 1);
    EXPECT_EQ(device.replyTimeout(), 4000u);

    EXPECT_EQ(device.Restart(), 1);
    EXPECT_FALSE(device.port().IsOpen());
    EXPECT_EQ(device.EnterDiagnosticMode(), 0);
    EXPECT_TRUE(device.port().IsOpen());
    device.ClosePort();
    EXPECT_FALSE(device.port().IsOpen());

    using namespace orvan::tms::messages;
    EXPECT_TRUE(k57::test::WaitUntil([&] { return unit.requests().size() == 11; }));
    EXPECT_TRUE(unit.diagnosticMode());
    EXPECT_EQ(unit.restarts(), 1);
    EXPECT_EQ(unit.requests(),
              (std::vector<int>{kReqIdInfo, kIdSet, kReqVersion, kReqSettings, kBeginFirmwareUpdate,
                                kDataFragment, kDataFragment, kCommitUpdate, kBeginWaveUpdate,
                                kRestart, kDiagnosticModeEnable}));
}

TEST_F(SessionTest, TheLongestSettingsReachTheUnitWholeAndLongerOnesAreRefusedUnsent) {
    k57::sim::Unit& unit = Plug(5);
    T110_Device device;
    std::string text;
    for (int i = 0; text.size() < k57::kMaxSettingsText; ++i) {
        text += "Key" + std::to_string(i) + "=\xCF\xF0\xE8\xE2\xE5\xF2\n";
    }
    text.resize(k57::kMaxSettingsText);
    EXPECT_EQ(device.WriteSettings(text), 1);  // in pieces of the 64-byte window
    EXPECT_EQ(unit.settings(), text);
    std::string back;
    EXPECT_EQ(device.ReadSettings(back), 1);
    EXPECT_EQ(back, text);

    // One byte more could not come back from the unit; 65,535 and more would
    // wrap the frame's 16-bit length.
    for (size_t size : {k57::kMaxSettingsText + 1, size_t(65535), size_t(70000)}) {
        EXPECT_EQ(device.WriteSettings(std::string(size, 'a')), k57::kCannotFrame) << size;
        EXPECT_EQ(device.LastFailure().result, k57::kCannotFrame);
    }
    EXPECT_EQ(unit.settings(), text);
    EXPECT_EQ(unit.requests().size(), 2u);
}

TEST_F(SessionTest, CommitIsAcknowledgedOnlyForTheImageReceived) {
    k57::sim::Unit& unit = Plug(5);
    auto device = QuickSession();
    const uint8_t image[] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b', 'c'};
    ASSERT_EQ(device->BeginFirmwareUpdate(), 1);
    ASSERT_EQ(device->SendDataFragment(image, 0, sizeof image), 1);
    EXPECT_EQ(device->CommitUpdate(0xCA6598D1, 3), -2);
    EXPECT_EQ(device->CommitUpdate(0xCA6598D0, 4), -2);
    EXPECT_EQ(device->CommitUpdate(0xCA6598D0, 3), 1);
    ASSERT_EQ(unit.commits().size(), 3u);
    EXPECT_FALSE(unit.commits()[0].accepted);
    EXPECT_TRUE(unit.commits()[2].accepted);
}

TEST_F(SessionTest, NoPortGivesMinusOneForEveryRequest) {
    k57::StoredPort::Write("COM9");  // nothing registered there
    T110_Device device;
    uint32_t serial = 99;
    std::string text = "untouched";
    const uint8_t byte = 0;
    EXPECT_EQ(device.ReadIdInfo(serial), -1);
    EXPECT_EQ(device.SetId(1), -1);
    EXPECT_EQ(device.ReadVersion(text), -1);
    EXPECT_EQ(device.ReadSettings(text), -1);
    EXPECT_EQ(device.WriteSettings("a=b"), -1);
    EXPECT_EQ(device.BeginFirmwareUpdate(), -1);
    EXPECT_EQ(device.BeginWaveUpdate(), -1);
    EXPECT_EQ(device.SendDataFragment(&byte, 0, 1), -1);
    EXPECT_EQ(device.CommitUpdate(0, 0), -1);
    EXPECT_EQ(device.Restart(), -1);
    EXPECT_EQ(device.EnterDiagnosticMode(), -1);
    EXPECT_EQ(serial, 99u);
    EXPECT_EQ(text, "untouched");
}

TEST_F(SessionTest, WithoutAStoredPortRequestsFail) {
    Plug(5);
    T110_Device device;  // the settings file names no port
    k57::test::IsolatedSettings empty;
    T110_Device unnamed;
    uint32_t serial = 0;
    EXPECT_EQ(unnamed.ReadIdInfo(serial), -1);
}

TEST_F(SessionTest, SilentUnitGivesMinusTwoAndLeavesThePortClosed) {
    k57::sim::UnitOptions options;
    options.fault = Fault::Silent;
    Plug(5, options);
    auto device = QuickSession();
    uint32_t serial = 99;
    std::string text = "untouched";
    EXPECT_EQ(device->ReadIdInfo(serial), -2);
    EXPECT_FALSE(device->port().IsOpen());
    EXPECT_EQ(device->ReadSettings(text), -2);
    EXPECT_EQ(device->WriteSettings("a=b"), -2);
    EXPECT_EQ(serial, 99u);
    EXPECT_EQ(text, "untouched");
}

TEST_F(SessionTest, ForeignRepliesGiveMinusThreeAndTouchNothing) {
    k57::sim::UnitOptions options;
    options.fault = Fault::WrongType;
    k57::sim::Unit& unit = Plug(5, options);
    auto device = QuickSession();
    std::string text = "untouched";
    uint32_t serial = 99;
    EXPECT_EQ(device->ReadVersion(text), -3);
    EXPECT_EQ(device->ReadIdInfo(serial), -3);
    EXPECT_EQ(text, "untouched");
    EXPECT_EQ(serial, 99u);
    EXPECT_FALSE(device->port().IsOpen());

    unit.configure([](auto& o) { o.fault = Fault::Undecodable; });
    EXPECT_EQ(device->ReadIdInfo(serial), -3);
    EXPECT_EQ(serial, 99u);
}

TEST_F(SessionTest, OversizedReplyRunsOutTheTimeOut) {
    k57::sim::UnitOptions options;
    options.fault = Fault::Oversize;
    Plug(5, options);
    auto device = QuickSession();
    uint32_t serial = 99;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(device->ReadIdInfo(serial), -2);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(299));
    // The next exchange starts clean.
    EXPECT_EQ(device->ReadIdInfo(serial), -2);
}

TEST_F(SessionTest, DribbledRepliesAreAssembled) {
    k57::sim::UnitOptions options;
    options.dribbleBytes = 3;
    options.dribblePauseMs = 40;
    options.settings = "PinCod=1234\n";
    Plug(5, options);
    T110_Device device;
    std::string text;
    EXPECT_EQ(device.ReadVersion(text), 1);
    EXPECT_EQ(device.ReadSettings(text), 1);
    EXPECT_EQ(text, "PinCod=1234\n");
}

TEST_F(SessionTest, ASessionReadsThePortStoredWhenItIsMade) {
    k57::sim::UnitOptions other;
    other.serial = 7;
    Plug(5);
    Plug(12, other);
    k57::StoredPort::Write("COM12");
    T110_Device device;
    k57::StoredPort::Write("COM5");
    uint32_t serial = 0;
    EXPECT_EQ(device.ReadIdInfo(serial), 1);
    EXPECT_EQ(serial, 7u);
}

TEST(ParseVersion, SplitsAtTheFirstTwoLineFeeds) {
    k57::test::IsolatedSettings settings;
    T110_Device device;
    VersionInfo info;
    device.ParseVersion(info, "T\nV\nX\nmore");
    EXPECT_STREQ(info.type, "T");
    EXPECT_STREQ(info.version, "V");
    EXPECT_STREQ(info.extra, "X\nmore");
    device.ParseVersion(info, "T\nV\n");
    EXPECT_STREQ(info.extra, "");
}

TEST(ParseVersion, ShortOrOverlongTextsFillWhatTheyHaveWithinTheFields) {
    VersionInfo info;
    EXPECT_FALSE(k57::SplitVersionText(info, "K57BT"));
    EXPECT_STREQ(info.type, "K57BT");
    EXPECT_STREQ(info.version, "");
    EXPECT_FALSE(k57::SplitVersionText(info, "K57BT\n000.009"));
    EXPECT_STREQ(info.version, "000.009");
    EXPECT_STREQ(info.extra, "");

    std::string longText =
        std::string(60, 't') + "\n" + std::string(20, 'v') + "\n" + std::string(40, 'x');
    EXPECT_FALSE(k57::SplitVersionText(info, longText));
    EXPECT_EQ(std::strlen(info.type), 47u);
    EXPECT_EQ(std::strlen(info.version), 15u);
    EXPECT_EQ(std::strlen(info.extra), 31u);

    EXPECT_TRUE(k57::SplitVersionText(
        info, std::string(47, 't') + "\n" + std::string(15, 'v') + "\n" + std::string(31, 'x')));
}

// A reply to an earlier request that nobody read is still waiting on the
// open port: the next request must not take it for its own reply.
TEST_F(SessionTest, AReplyLeftWaitingIsNotTakenForTheNextRequest) {
    k57::sim::Unit& unit = Plug(5);
    T110_Device device;
    ASSERT_TRUE(device.Channel().Open());
    orvan::tms::messages::ReqIdInfoMessage earlier;
    VCOMOutputStream out(&device.port());
    ASSERT_TRUE(k57::WriteWithin(earlier, out, 1000, k57::SystemClock()));
    ASSERT_TRUE(k57::test::WaitUntil([&] { return device.Channel().Available() >= 12; }));

    std::string text;
    EXPECT_EQ(device.ReadVersion(text), 1);
    EXPECT_EQ(text, "K57BT\n000.008\nMay 12 2017 09:30:00");
    EXPECT_EQ(unit.requests().back(), orvan::tms::messages::kReqVersion);
}

}  // namespace
