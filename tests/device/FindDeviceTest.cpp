#include <gtest/gtest.h>

#include "Discovery.h"
#include "Messages.h"
#include "RecordingNotifier.h"
#include "SimulatedUnits.h"
#include "T110_Device.h"

using Fault = k57::sim::UnitOptions::Fault;

namespace {

class FindDeviceTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override { device.setReplyTimeout(300); }

    k57::test::RecordingNotifier notices;
    T110_Device device;
    int owner = 0;
};

TEST_F(FindDeviceTest, ReportsAndStoresTheLowestUnitOnly) {
    k57::sim::UnitOptions first;
    first.serial = 4294967295u;
    k57::sim::Unit& com3 = Plug(3, first);
    k57::sim::Unit& com7 = Plug(7);

    EXPECT_EQ(device.FindDevice(&owner), 1);
    ASSERT_EQ(notices.boxes.size(), 1u);
    EXPECT_EQ(notices.boxes[0].owner, &owner);
    EXPECT_EQ(notices.boxes[0].caption, "Устройство найдено");
    EXPECT_EQ(notices.boxes[0].text,
              "Порт:\tCOM3\nТип:\tK57BT\nВерсия:\t000.008\nНомер:\t4294967295\n");
    EXPECT_EQ(k57::StoredPort::Read(), "COM3");
    EXPECT_EQ(com3.requests().size(), 2u);
    EXPECT_TRUE(com7.requests().empty());

    // The session now talks to the unit it found.
    uint32_t serial = 0;
    EXPECT_EQ(device.ReadIdInfo(serial), 1);
    EXPECT_EQ(serial, 4294967295u);
}

TEST_F(FindDeviceTest, NoUnitAnywhereSaysSoOnceAndStoresNothing) {
    k57::StoredPort::Write("COM5");
    k57::sim::UnitOptions silent;
    silent.fault = Fault::Silent;
    Plug(1);  // COM1 is never probed
    Plug(9, silent);
    EXPECT_EQ(device.FindDevice(nullptr), 0);
    ASSERT_EQ(notices.boxes.size(), 1u);
    EXPECT_EQ(notices.boxes[0].caption, "Внимание");
    EXPECT_EQ(notices.boxes[0].text, "Устройство не найдено");
    EXPECT_EQ(k57::StoredPort::Read(), "COM5");
    EXPECT_TRUE(units_[0]->requests().empty());
}

TEST_F(FindDeviceTest, AUnitWithoutAVersionIsPassedOver) {
    k57::sim::UnitOptions mute;
    mute.fault = Fault::Silent;
    mute.faultCodes = {orvan::tms::messages::kReqVersion};
    k57::sim::UnitOptions cyrillic;
    cyrillic.versionText = "\xCA\x35\x37\n000.009\n";  // "К57" in Windows-1251
    Plug(4, mute);
    Plug(12, cyrillic);
    EXPECT_EQ(device.FindDevice(nullptr), 1);
    ASSERT_EQ(notices.boxes.size(), 1u);
    EXPECT_EQ(notices.boxes[0].text,
              "Порт:\tCOM12\nТип:\tК57\nВерсия:\t000.009\nНомер:\t12345678\n");
    EXPECT_EQ(k57::StoredPort::Read(), "COM12");
}

TEST_F(FindDeviceTest, APortHeldByAnotherProgramIsSkipped) {
    k57::sim::Unit& held = Plug(3);
    Plug(6);
    VCOM_Port other(held.devicePath().c_str());
    ASSERT_TRUE(other.Open());
    EXPECT_EQ(device.FindDevice(nullptr), 1);
    EXPECT_EQ(k57::StoredPort::Read(), "COM6");
    EXPECT_TRUE(held.requests().empty());
}

// The scan itself shows and stores nothing, names each port before asking
// it, and ends where the caller says so.
TEST_F(FindDeviceTest, TheScanReportsToItsCallerAndCanBeStopped) {
    k57::StoredPort::Write("COM5");
    k57::sim::UnitOptions silent;
    silent.fault = Fault::Silent;
    Plug(4, silent);
    k57::sim::Unit& com8 = Plug(8);

    std::vector<std::string> asked;
    k57::FoundUnit unit;
    ASSERT_TRUE(k57::FindUnit(device, unit, [&](const std::string& port) {
        asked.push_back(port);
        return true;
    }));
    EXPECT_EQ(asked, (std::vector<std::string>{"COM4", "COM8"}));
    EXPECT_EQ(unit.port, "COM8");
    EXPECT_STREQ(unit.info.version, "000.008");
    EXPECT_TRUE(notices.boxes.empty());
    EXPECT_EQ(k57::StoredPort::Read(), "COM5");

    size_t before = com8.requests().size();
    EXPECT_FALSE(
        k57::FindUnit(device, unit, [](const std::string& port) { return port != "COM8"; }));
    EXPECT_EQ(com8.requests().size(), before);
}

}  // namespace
