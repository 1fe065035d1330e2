#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <string>
#include <thread>

#include "Messages.h"
#include "NextUnits.h"
#include "PortLinks.h"
#include "PortMapping.h"
#include "QuickSessions.h"
#include "SimulatedUnits.h"
#include "T110_Device.h"

namespace {

using namespace orvan::tms::messages;

class UnitPluggingTest : public k57::test::SimulatedUnits {};

TEST_F(UnitPluggingTest, APulledUnitLeavesNoComEntryAndComesBackAsAnotherUnitUnderIt) {
    k57::sim::UnitOptions first;
    first.serial = 111;
    first.settings = "MicLevel=3\n";
    k57::sim::Unit& unit = Plug(33, first);
    const std::string entry = k57::ports::EntryPath(33);
    const std::string firstPath = unit.devicePath();
    ASSERT_EQ(k57::test::LinkTarget(entry), firstPath);
    k57::StoredPort::Write("COM33");
    T110_Device device;
    uint32_t serial = 0;
    ASSERT_EQ(device.ReadIdInfo(serial), 1);

    unit.Unplug();
    EXPECT_FALSE(unit.plugged());
    EXPECT_EQ(unit.devicePath(), "");
    EXPECT_FALSE(k57::test::EntryExists(entry));
    EXPECT_EQ(k57::ports::Resolve("COM33"), "");

    k57::sim::UnitOptions second;
    second.serial = 222;
    ASSERT_TRUE(unit.Plug(second));
    EXPECT_TRUE(unit.plugged());
    EXPECT_EQ(k57::test::LinkTarget(entry), unit.devicePath());
    std::string text = "left over";
    EXPECT_EQ(device.ReadIdInfo(serial), 1);
    EXPECT_EQ(serial, 222u);
    EXPECT_EQ(device.ReadSettings(text), 1);
    EXPECT_EQ(text, "");
    // A new unit knows only what it was asked since.
    EXPECT_EQ(unit.requests(), (std::vector<int>{kReqIdInfo, kReqSettings}));
}

TEST_F(UnitPluggingTest, APortHeldOpenSeesTheHangUpAndTheTerminalEnds) {
    k57::sim::Unit& unit = Plug(34);
    int fd = open(unit.devicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    unit.Unplug();
    pollfd p{fd, POLLIN, 0};
    EXPECT_EQ(poll(&p, 1, 20000), 1);
    EXPECT_TRUE(p.revents & POLLHUP);
    char byte = 0;
    EXPECT_LE(read(fd, &byte, 1), 0);
    EXPECT_EQ(write(fd, "x", 1), -1);
    close(fd);
}

TEST_F(UnitPluggingTest, ALinkFollowsTheUnitOutAndInUnlessAnotherMadeItTheirs) {
    k57::test::TempDir dir;
    const std::string link = dir.path() + "/com7";
    k57::sim::Unit unit;
    ASSERT_TRUE(unit.start());
    ASSERT_TRUE(unit.linkAs(link));
    EXPECT_EQ(k57::test::LinkTarget(link), unit.devicePath());
    unit.Unplug();
    EXPECT_FALSE(k57::test::EntryExists(link));
    ASSERT_TRUE(unit.Plug({}));
    EXPECT_EQ(k57::test::LinkTarget(link), unit.devicePath());

    // Replaced by hand meanwhile: the unit leaves it be when it goes.
    ASSERT_EQ(unlink(link.c_str()), 0);
    ASSERT_EQ(symlink("/dev/null", link.c_str()), 0);
    unit.Unplug();
    EXPECT_EQ(k57::test::LinkTarget(link), "/dev/null");
}

// Pulled out halfway through a slow reply, or while the tool has left
// replies unread until the line is full: the unit goes at once, as a real
// one does, and the rest never comes.
TEST_F(UnitPluggingTest, APullCutsARepliesShort) {
    for (bool slow : {false, true}) {
        k57::sim::UnitOptions options;
        options.dribbleBytes = slow ? 1 : 0;
        options.dribblePauseMs = slow ? 60000 : 0;
        options.versionText.assign(900, 'V');
        k57::sim::Unit unit(options);
        ASSERT_TRUE(unit.start());
        int fd = open(unit.devicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(fd, 0);
        ReqVersionMessage request;
        std::vector<uint8_t> frame = k57::sim::EncodedFrame(request);
        for (int i = 0; i < (slow ? 1 : 300); ++i) {
            ASSERT_EQ(write(fd, frame.data(), frame.size()), ssize_t(frame.size()));
        }
        ASSERT_TRUE(k57::test::WaitUntil([&] { return !unit.requests().empty(); }));
        std::atomic<bool> out{false};
        std::thread pull([&] {
            unit.Unplug();
            out = true;
        });
        EXPECT_TRUE(k57::test::WaitUntil([&] { return out.load(); })) << "slow " << slow;
        pull.join();
        close(fd);
    }
}

// The tool's requests and a test's look-ins go on while the unit is pulled
// and plugged again and again: nothing crashes, every request ends, and the
// ones while the unit is in get their answers.
TEST_F(UnitPluggingTest, PluggingInAndOutWhileTheToolAsksIsSafe) {
    k57::sim::Unit& unit = Plug(35);
    k57::StoredPort::Write("COM35");
    std::atomic<bool> done{false};
    std::atomic<int> answered{0};
    std::thread tool([&] {
        T110_Device device;
        uint32_t serial = 0;
        while (!done) {
            answered += device.ReadIdInfo(serial) == 1;
            (void)unit.requests();
        }
    });
    for (int round = 0; round < 10; ++round) {
        unit.Unplug();
        k57::sim::UnitOptions options;
        options.serial = uint32_t(round);
        ASSERT_TRUE(unit.Plug(options));
        int before = answered;
        EXPECT_TRUE(k57::test::WaitUntil([&] { return answered > before; }));
    }
    done = true;
    tool.join();
}

}  // namespace

namespace {

// The row as k57sim runs it, on a clock of the test's own: the unit goes
// only once the tool has left it alone after a settings write, stays out
// for the time asked, and the last one stays.
TEST_F(UnitPluggingTest, ARowOfUnitsTakesTurnsAfterEachSettingsWrite) {
    k57::sim::UnitOptions options;
    options.serial = 500;
    options.settings = "MicLevel=1\n";
    k57::sim::Unit& unit = Plug(37, options);
    k57::sim::NextUnits row(options, {501}, 1000);
    k57::StoredPort::Write("COM37");
    T110_Device device;
    uint32_t serial = 0;
    ASSERT_EQ(device.ReadIdInfo(serial), 1);
    ASSERT_TRUE(k57::test::WaitUntil([&] { return unit.idleFor(k57::sim::NextUnits::kIdleMs); }));
    EXPECT_EQ(row.Step(unit, 0), "");  // read, not written: stays

    ASSERT_EQ(device.WriteSettings("MicLevel=2\n"), 1);
    std::string said;
    ASSERT_TRUE(k57::test::WaitUntil(
        [&] { return !said.empty() || !(said = row.Step(unit, 10)).empty(); }));
    EXPECT_EQ(said, "unplugged");
    EXPECT_FALSE(unit.plugged());
    EXPECT_EQ(row.Step(unit, 1009), "");
    said = row.Step(unit, 1010);
    EXPECT_EQ(said, "plugged in 501: " + unit.devicePath());
    EXPECT_EQ(unit.serial(), 501u);
    EXPECT_EQ(unit.settings(), "");
    EXPECT_EQ(unit.settingsWrites(), 0);

    ASSERT_EQ(device.WriteSettings("MicLevel=3\n"), 1);
    ASSERT_TRUE(k57::test::WaitUntil([&] { return unit.idleFor(k57::sim::NextUnits::kIdleMs); }));
    EXPECT_EQ(row.Step(unit, 5000), "");
    EXPECT_TRUE(unit.plugged());
}

// A slow acknowledgement is the tool's until its last byte: the unit is
// not pulled out from under it.
TEST_F(UnitPluggingTest, ASlowAcknowledgementGoesOutWholeBeforeTheUnitGoes) {
    k57::sim::UnitOptions options;
    options.dribbleBytes = 1;
    options.dribblePauseMs = 60;  // an acknowledgement takes about a second
    k57::sim::Unit& unit = Plug(39, options);
    k57::sim::NextUnits row(options, {2}, 0);
    k57::StoredPort::Write("COM39");
    std::string said;
    // Steps the row until the unit goes, within a generous deadline.
    std::thread technician(
        [&] { k57::test::WaitUntil([&] { return !(said = row.Step(unit, 0)).empty(); }, 60000); });
    T110_Device device;
    EXPECT_EQ(device.WriteSettings("MicLevel=2\n"), 1);
    technician.join();
    EXPECT_EQ(said, "unplugged");
}

// The unit's last byte is the tool's to take before the unit may go: the
// terminal hands a byte written on to its reader a moment later, and a
// unit pulled out meanwhile takes it with it (seen once at -j2: the slow
// acknowledgement above cut short by its last byte).
TEST_F(UnitPluggingTest, AUnitStaysAWhileAfterItsLastByte) {
    k57::sim::UnitOptions options;
    options.dribbleBytes = 1;
    options.dribblePauseMs = 40;  // the reply's last byte long after the request
    k57::sim::Unit& unit = Plug(37, options);
    k57::StoredPort::Write("COM37");
    T110_Device device;
    ASSERT_EQ(device.WriteSettings("MicLevel=2\n"), 1);
    EXPECT_FALSE(unit.idleFor(k57::sim::NextUnits::kIdleMs));
    EXPECT_TRUE(k57::test::WaitUntil([&] { return unit.idleFor(k57::sim::NextUnits::kIdleMs); }));
}

// A write the unit does not acknowledge did not program it: it stays.
TEST_F(UnitPluggingTest, AnUnansweredWriteKeepsTheUnitIn) {
    k57::sim::UnitOptions options;
    options.fault = k57::sim::UnitOptions::Fault::Silent;
    k57::sim::Unit& unit = Plug(38, options);
    k57::sim::NextUnits row(options, {1}, 0);
    k57::StoredPort::Write("COM38");
    std::unique_ptr<T110_Device> device = k57::test::QuickSession();
    EXPECT_EQ(device->WriteSettings("MicLevel=2\n"), k57::kNoReply);
    ASSERT_TRUE(k57::test::WaitUntil([&] { return unit.idleFor(k57::sim::NextUnits::kIdleMs); }));
    EXPECT_EQ(row.Step(unit, 0), "");
    EXPECT_TRUE(unit.plugged());
}

}  // namespace
