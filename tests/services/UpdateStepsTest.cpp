// The update workflows against the simulated unit: what each step sends,
// how far the progress has gone, and how each way of ending is named.

#include <gtest/gtest.h>

#include <QFile>

#include "Crc32.h"
#include "FirmwareUpdate.h"
#include "Messages.h"
#include "QuickSessions.h"
#include "SimulatedUnits.h"
#include "SoundUpdate.h"

using namespace orvan::tms::messages;
using Stage = k57::UpdateSteps::Stage;
using Outcome = k57::UpdateOutcome;

namespace {

using k57::test::Count;

class UpdateStepsTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override {
        k57::StoredPort::Write("COM5");
        device = k57::test::QuickSession();
    }

    // Steps until the update ends; the stages met on the way.
    static int StepToEnd(k57::UpdateSteps& update, DeviceInterface& device) {
        int steps = 0;
        while (update.Step(device) != Stage::Idle && update.stage() != Stage::Confirm) {
            ++steps;
        }
        return steps;
    }

    std::unique_ptr<T110_Device> device;
    k57::images::Firmware firmware = k57::images::LoadFirmware();
};

TEST_F(UpdateStepsTest, FirmwareGoesVersionStartFragmentsCommitWithProgress) {
    k57::sim::Unit& unit = Plug(5);
    k57::FirmwareUpdate update(firmware);
    update.Start();
    EXPECT_EQ(update.stage(), Stage::CheckVersion);
    EXPECT_EQ(update.Step(*device), Stage::Begin);  // 000.008 is older than the image
    EXPECT_STREQ(update.unit().version, "000.008");
    EXPECT_EQ(update.Step(*device), Stage::Send);
    EXPECT_EQ(update.progress().fragments, 92);
    EXPECT_EQ(update.Step(*device), Stage::Send);
    EXPECT_EQ(update.progress().fragmentsSent, 1);
    EXPECT_EQ(update.progress().bytesSent, 1024);
    EXPECT_EQ(StepToEnd(update, *device), 91);  // 91 more fragments, then the commit
    EXPECT_EQ(update.outcome(), Outcome::Done);
    EXPECT_EQ(update.progress().bytesSent, 94152);
    EXPECT_GT(update.progress().bytesPerSecond, 0);
    EXPECT_EQ(unit.image(), firmware.buffer);
    ASSERT_EQ(unit.commits().size(), 1u);
    EXPECT_EQ(unit.commits()[0].checksum, Crc32(firmware.buffer.data() + 8, 94144));
}

TEST_F(UpdateStepsTest, AnEqualVersionWaitsForConfirmAndAStopSendsNothing) {
    k57::sim::UnitOptions options;
    options.versionText = "K57BT\n000.009\n";
    k57::sim::Unit& unit = Plug(5, options);
    k57::FirmwareUpdate update(firmware);
    update.Start();
    EXPECT_EQ(update.Step(*device), Stage::Confirm);
    EXPECT_EQ(update.Step(*device), Stage::Confirm);  // nothing until answered
    update.Stop(Outcome::Declined);
    EXPECT_FALSE(update.active());
    EXPECT_EQ(update.outcome(), Outcome::Declined);
    EXPECT_EQ(Count(unit.requests(), kBeginFirmwareUpdate), 0);

    update.Start();
    update.Step(*device);
    update.Confirm();
    EXPECT_EQ(update.Step(*device), Stage::Send);
    update.Step(*device);
    update.Stop();
    EXPECT_EQ(update.Step(*device), Stage::Idle);
    EXPECT_EQ(update.outcome(), Outcome::Stopped);
    EXPECT_EQ(Count(unit.requests(), kDataFragment), 1);
    EXPECT_TRUE(unit.commits().empty());
}

TEST_F(UpdateStepsTest, EachFailureEndsWithItsOutcome) {
    k57::FirmwareUpdate update(firmware);
    update.Start();
    EXPECT_EQ(update.Step(*device), Stage::Idle);  // nothing on COM5
    EXPECT_EQ(update.outcome(), Outcome::NotConnected);
    EXPECT_EQ(update.lastResult(), k57::kPortUnavailable);

    k57::sim::UnitOptions options;
    options.versionText = "K57BT 000.008";
    k57::sim::Unit& unit = Plug(5, options);
    update.Start();
    update.Step(*device);
    EXPECT_EQ(update.outcome(), Outcome::VersionUnreadable);

    unit.configure([](auto& o) {
        o.versionText = "K57BT\n000.008\n";
        o.hangUpAfterFragments = 10;
    });
    update.Start();
    StepToEnd(update, *device);
    EXPECT_EQ(update.outcome(), Outcome::SendFailed);
    EXPECT_EQ(update.failedFragment(), 11);
    EXPECT_EQ(update.progress().fragmentsSent, 10);
    EXPECT_TRUE(unit.commits().empty());

    unit.configure([](auto& o) {
        o.hangUpAfterFragments = -1;
        o.refuseCommits = true;
    });
    update.Start();  // from the version check and offset 0 again
    StepToEnd(update, *device);
    EXPECT_EQ(update.outcome(), Outcome::CommitRefused);
    EXPECT_EQ(update.progress().fragmentsSent, 92);

    unit.configure([](auto& o) {
        o.refuseCommits = false;
        o.fault = k57::sim::UnitOptions::Fault::WrongType;
        o.faultCodes = {kBeginFirmwareUpdate};
    });
    update.Start();
    StepToEnd(update, *device);
    EXPECT_EQ(update.outcome(), Outcome::StartFailed);
    EXPECT_EQ(update.lastResult(), k57::kBadReply);
}

TEST_F(UpdateStepsTest, SoundCommitsWithItsOwnHeaderAndRefusesABrokenPackage) {
    k57::sim::Unit& unit = Plug(5);
    k57::SoundUpdate update;
    uint32_t size = 0;
    std::string problem;
    ASSERT_TRUE(update.CheckImage(size, problem));
    EXPECT_EQ(size, 677857u);
    update.Start();
    EXPECT_EQ(update.stage(), Stage::Begin);  // no version check
    StepToEnd(update, *device);
    EXPECT_EQ(update.outcome(), Outcome::Done);
    EXPECT_EQ(update.progress().fragments, 662);
    EXPECT_EQ(update.progress().fragmentsSent, 662);
    ASSERT_EQ(unit.commits().size(), 1u);
    EXPECT_EQ(unit.commits()[0].size, 677857u);

    k57::test::TempDir dir;
    std::string path = dir.path() + "/broken.bin";
    QFile broken(QString::fromStdString(path));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write(QByteArray("\x04\0\0\0\0\0\0\0abcd", 12));  // checksum 0 does not match
    broken.close();
    k57::SoundUpdate bad(path);
    EXPECT_FALSE(bad.CheckImage(size, problem));
    EXPECT_EQ(bad.outcome(), Outcome::ImageInvalid);
    EXPECT_NE(problem.find("not a sound package"), std::string::npos);
    k57::SoundUpdate missing(dir.path() + "/none.bin");
    EXPECT_FALSE(missing.CheckImage(size, problem));
    EXPECT_NE(problem.find("cannot read"), std::string::npos);
}

TEST_F(UpdateStepsTest, AnImageWithoutTypeAndVersionIsInvalid) {
    k57::images::Firmware blank;
    blank.size = 1016;
    blank.buffer.assign(1024, 0xFF);
    k57::FirmwareUpdate update(blank);
    EXPECT_FALSE(update.CheckImage());
    EXPECT_EQ(update.outcome(), Outcome::ImageInvalid);
    EXPECT_TRUE(k57::FirmwareUpdate(firmware).CheckImage());
}

}  // namespace
