// The device layer against simulated units running as their own programs
// on this machine (see units.sh): COM40 a working unit, COM41 silent, COM42
// answering with the wrong type, COM43 refusing commits, COM44 undecodable,
// COM46 a working unit that takes the firmware updates.
// The same tests run natively and, for the Windows build, under Wine.

#include <gtest/gtest.h>

#include "EmbeddedImages.h"
#include "FirmwareUpdate.h"
#include "QuickSessions.h"
#include "StoredPort.h"
#include "TempDir.h"
#include "VCOM_Port.h"
#include "VersionInfo.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// Wine lacks a few things real Windows has; tests of those are skipped there.
bool UnderWine() {
#ifdef _WIN32
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
#else
    return false;
#endif
}

class HostUnitsTest : public ::testing::Test {
  protected:
    std::unique_ptr<T110_Device> On(const char* port) {
        auto device = k57::test::QuickSession();
        device->SetPortName(port);
        return device;
    }

    k57::test::IsolatedSettings settings_;
};

TEST_F(HostUnitsTest, AWorkingUnitAnswersEveryQuestion) {
    auto device = On("COM40");
    uint32_t serial = 0;
    ASSERT_EQ(device->ReadIdInfo(serial), k57::kReplyOk);
    EXPECT_EQ(serial, 40404040u);
    std::string text;
    ASSERT_EQ(device->ReadVersion(text), k57::kReplyOk);
    VersionInfo info;
    device->ParseVersion(info, text);
    EXPECT_STREQ(info.type, "K57BT");
    EXPECT_STREQ(info.version, "000.008");
}

TEST_F(HostUnitsTest, SettingsWrittenReadBackTheSame) {
    auto device = On("COM40");
    const std::string text = "MicLevel=10\nNameBT=\xCB\xE0\xE4\xE0\n";
    ASSERT_EQ(device->WriteSettings(text), k57::kReplyOk);
    std::string back;
    ASSERT_EQ(device->ReadSettings(back), k57::kReplyOk);
    EXPECT_EQ(back, text);
    EXPECT_EQ(device->WriteSettings(""), k57::kReplyOk);
}

TEST_F(HostUnitsTest, AFirmwareUpdateIsCommittedWithTheImagesChecksum) {
    auto device = On("COM46");
    k57::images::Firmware firmware = k57::images::LoadFirmware();
    k57::FirmwareUpdate update(firmware);
    update.Start();
    update.Step(*device);  // the version check
    update.Confirm();
    ASSERT_EQ(update.Step(*device), k57::UpdateSteps::Stage::Send);
    while (update.Step(*device) == k57::UpdateSteps::Stage::Send) {
    }
    EXPECT_EQ(update.progress().fragmentsSent, 92);
    // The unit acknowledges only a commit whose size and checksum match
    // the bytes it received.
    EXPECT_EQ(update.outcome(), k57::UpdateOutcome::Done);
}

TEST_F(HostUnitsTest, EachFailureHasItsResult) {
    uint32_t serial = 0;
    EXPECT_EQ(On("COM45")->ReadIdInfo(serial), k57::kPortUnavailable);
    EXPECT_EQ(On("COM41")->ReadIdInfo(serial), k57::kNoReply);
    EXPECT_EQ(On("COM42")->ReadIdInfo(serial), k57::kBadReply);
    EXPECT_EQ(On("COM44")->ReadIdInfo(serial), k57::kBadReply);
    EXPECT_EQ(serial, 0u);

    auto refusing = On("COM43");
    const uint8_t image[] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b', 'c'};
    ASSERT_EQ(refusing->BeginFirmwareUpdate(), k57::kReplyOk);
    ASSERT_EQ(refusing->SendDataFragment(image, 0, sizeof image), k57::kReplyOk);
    EXPECT_EQ(refusing->CommitUpdate(0xCA6598D0, 3), k57::kNoReply);
}

TEST_F(HostUnitsTest, ThePortSearchFindsTheUnitAndStoresItsPort) {
    auto device = On("COM2");
    EXPECT_EQ(device->FindDevice(nullptr), 1);
    EXPECT_EQ(k57::StoredPort::Read(), "COM40");
}

TEST_F(HostUnitsTest, TheStoredPortIsKeptBetweenSessions) {
    ASSERT_TRUE(k57::StoredPort::Write("COM40"));
    T110_Device device;  // on the stored port
    uint32_t serial = 0;
    EXPECT_EQ(device.ReadIdInfo(serial), k57::kReplyOk);
}

TEST_F(HostUnitsTest, APortHeldOpenIsRefusedToASecondUser) {
    if (UnderWine()) {
        GTEST_SKIP() << "Wine does not refuse a second open of a COM port; real Windows does";
    }
    VCOM_Port first("COM40"), second("COM40");
    ASSERT_TRUE(first.Open());
    EXPECT_FALSE(second.Open());
    first.Close();
    EXPECT_TRUE(second.Open());
}

}  // namespace
