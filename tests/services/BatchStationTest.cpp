// A batch written to simulated units on several ports at once: rows matched
// by serial number, a unit with no row left alone, a failed unit keeping
// its row, no row used twice, and a read-back that catches a unit which
// kept its old settings.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>

#include "BatchPlan.h"
#include "BatchStation.h"
#include "EmbeddedImages.h"
#include "Journal.h"
#include "Messages.h"
#include "ShippedCatalogue.h"
#include "SimulatedUnits.h"

namespace {

using Result = k57::BatchUnitResult::Result;

const char kStationTemplate[] = "MicLevel=10\nNoteKick=5\n";
const char kValues[] =
    "serial,UserNumber1,PinCod\n"
    "1001,+79990000001,1111\n"
    "1002,+79990000002,2222\n";

class BatchStationTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override {
        std::ofstream(dir.path() + "/template.txt") << kStationTemplate;
        std::ofstream(dir.path() + "/values.csv") << kValues;
        plan = std::make_unique<k57::BatchPlan>(k57::BatchPlan::Read(
            dir.path() + "/template.txt", dir.path() + "/values.csv", catalogue));
        ASSERT_TRUE(plan->ok());
    }

    k57::sim::Unit& Unit(int com, uint32_t serial, k57::sim::UnitOptions options = {}) {
        options.serial = serial;
        options.settings = "MicLevel=3\nUserNumber1=+71111111111\n";
        return Plug(com, options);
    }

    // The station on `ports` until `count` units are done; their results by
    // serial number.
    std::map<uint32_t, k57::BatchUnitResult> Run(std::vector<std::string> ports, int count,
                                                 bool templateOnly = false) {
        k57::BatchOptions options;
        options.ports = std::move(ports);
        options.count = count;
        options.templateOnly = templateOnly;
        station = std::make_unique<k57::BatchStation>(*plan, catalogue, options, journal());
        station->SetPollInterval(std::chrono::milliseconds(50));
        station->SetListener([this](const k57::BatchEvent& event) {
            if (event.result) {
                std::lock_guard<std::mutex> lock(mutex);
                results.push_back(*event.result);
            }
        });
        std::string error;
        EXPECT_TRUE(station->Start(error)) << error;
        EXPECT_TRUE(station->Wait(std::chrono::seconds(60)));
        std::map<uint32_t, k57::BatchUnitResult> bySerial;
        std::lock_guard<std::mutex> lock(mutex);
        for (const k57::BatchUnitResult& r : results) {
            bySerial[r.serial.value_or(0)] = r;
        }
        return bySerial;
    }

    std::string journal() const { return dir.path() + "/journal.db"; }

    ParameterList catalogue{k57::test::ShippedCatalogue()};
    k57::test::TempDir dir;
    std::unique_ptr<k57::BatchPlan> plan;
    std::unique_ptr<k57::BatchStation> station;
    std::mutex mutex;
    std::vector<k57::BatchUnitResult> results;
    k57::BatchStep step = k57::BatchStep::Waiting;
};

TEST_F(BatchStationTest, ThreeUnitsOnThreePortsTwoWithRowsAndOneLeftAlone) {
    k57::sim::Unit& a = Unit(41, 1001);
    k57::sim::Unit& b = Unit(42, 1002);
    k57::sim::Unit& c = Unit(43, 1003);
    auto done = Run({"COM41", "COM42", "COM43"}, 3);
    ASSERT_EQ(done.size(), 3u);

    EXPECT_EQ(done[1001].result, Result::Ok);
    EXPECT_TRUE(done[1001].verified);
    EXPECT_EQ(done[1001].row, 2);
    EXPECT_EQ(done[1001].port, "COM41");
    EXPECT_NE(a.settings().find("UserNumber1=+79990000001"), std::string::npos);
    EXPECT_NE(a.settings().find("MicLevel=10"), std::string::npos);
    EXPECT_NE(b.settings().find("PinCod=2222"), std::string::npos);
    EXPECT_EQ(done[1002].row, 3);

    EXPECT_EQ(done[1003].result, Result::Skipped);
    EXPECT_FALSE(done[1003].reason.empty());
    EXPECT_EQ(c.settingsWrites(), 0);
    EXPECT_EQ(c.settings(), "MicLevel=3\nUserNumber1=+71111111111\n");

    k57::BatchCounts counts = station->counts();
    EXPECT_EQ(counts.ok, 2);
    EXPECT_EQ(counts.skipped, 1);
    EXPECT_EQ(counts.left, 0);

    // The journal marks each write with the batch and the row, and holds
    // the unit's backup before it.
    k57::Journal journal(this->journal());
    std::vector<k57::JournalEntry> entries = journal.Timeline(1001);
    ASSERT_GE(entries.size(), 2u);
    EXPECT_EQ(entries[entries.size() - 2].operation, k57::JournalOperation::Backup);
    EXPECT_EQ(entries.back().operation, k57::JournalOperation::WriteSettings);
    EXPECT_EQ(entries.back().result, k57::JournalResult::Ok);
    EXPECT_EQ(entries.back().detail.rfind("batch " + station->mark() + ": row 2", 0), 0u)
        << entries.back().detail;
    EXPECT_EQ(done[1001].entry, entries.back().id);
    EXPECT_TRUE(journal.Timeline(1003).empty());
}

TEST_F(BatchStationTest, ATemplateOnlyRunWritesTheUnitWithNoRow) {
    k57::sim::Unit& c = Unit(43, 1003);
    auto done = Run({"COM43"}, 1, true);
    EXPECT_EQ(done[1003].result, Result::Ok);
    EXPECT_EQ(done[1003].row, 0);
    EXPECT_NE(c.settings().find("MicLevel=10"), std::string::npos);
    EXPECT_EQ(c.settings().find("UserNumber1"), std::string::npos);
}

TEST_F(BatchStationTest, AnOlderFirmwareIsUpdatedBeforeTheSettingsAreWritten) {
    k57::sim::Unit& a = Unit(41, 1001);
    k57::BatchOptions options;
    options.ports = {"COM41"};
    options.count = 1;
    options.updateFirmware = true;
    station = std::make_unique<k57::BatchStation>(*plan, catalogue, options, journal());
    std::string error;
    ASSERT_TRUE(station->Start(error)) << error;
    ASSERT_TRUE(station->Wait(std::chrono::seconds(120)));
    k57::images::Firmware image = k57::images::LoadFirmware();
    EXPECT_EQ(station->counts().ok, 1);
    EXPECT_EQ(k57::test::Count(a.requests(), orvan::tms::messages::kBeginFirmwareUpdate), 1);
    EXPECT_NE(a.settings().find("PinCod=1111"), std::string::npos);
    std::vector<k57::JournalEntry> entries = k57::Journal(journal()).Timeline(1001);
    std::vector<k57::JournalOperation> operations;
    for (const k57::JournalEntry& entry : entries) {
        operations.push_back(entry.operation);
    }
    using Op = k57::JournalOperation;
    EXPECT_EQ(operations,
              (std::vector<Op>{Op::Backup, Op::FirmwareUpdate, Op::Backup, Op::WriteSettings}));
    EXPECT_EQ(entries[1].result, k57::JournalResult::Ok);
    // The write names the firmware the unit restarted into.
    EXPECT_NE(entries[0].firmware, image.info.version);
    EXPECT_EQ(entries.back().firmware, image.info.version);
}

TEST_F(BatchStationTest, TheReadBackCatchesAUnitThatKeptItsOldSettingsAndTheRowStaysUnused) {
    k57::sim::UnitOptions keeps;
    keeps.keepSettingsOnWrite = true;
    Unit(41, 1001, keeps);
    auto done = Run({"COM41"}, 1);
    EXPECT_EQ(done[1001].result, Result::Failed);
    EXPECT_FALSE(done[1001].verified);
    EXPECT_NE(done[1001].reason.find("UserNumber1"), std::string::npos) << done[1001].reason;
    EXPECT_FALSE(station->ledger().used(1001));
    EXPECT_EQ(station->counts().left, 2);
}

// Pulled out while written, a unit fails and keeps its row; plugged in
// again it is written; plugged in once more, its row is not used again,
// by this run nor by the next run of the same batch.
TEST_F(BatchStationTest, AUnitFailingMidWriteKeepsItsRowWhichIsThenUsedOnceOnly) {
    k57::sim::UnitOptions hangsUp;
    hangsUp.hangUpOnSettingsWrite = true;
    k57::sim::Unit& unit = Unit(41, 1001, hangsUp);
    k57::BatchOptions options;
    options.ports = {"COM41"};
    options.count = 3;
    station = std::make_unique<k57::BatchStation>(*plan, catalogue, options, journal());
    station->SetPollInterval(std::chrono::milliseconds(50));
    station->SetListener([this](const k57::BatchEvent& event) {
        std::lock_guard<std::mutex> lock(mutex);
        step = event.step;
        if (event.result) {
            results.push_back(*event.result);
        }
    });
    std::string error;
    ASSERT_TRUE(station->Start(error));
    auto finished = [this](size_t n) {
        return k57::test::WaitUntil([&] {
            std::lock_guard<std::mutex> lock(mutex);
            return results.size() >= n;
        });
    };
    // A technician's hands are slower than the station: it has seen the
    // unit go before the next is plugged in.
    auto replug = [&](k57::sim::UnitOptions options) {
        unit.Unplug();
        EXPECT_TRUE(k57::test::WaitUntil([&] {
            std::lock_guard<std::mutex> lock(mutex);
            return step == k57::BatchStep::Waiting;
        }));
        return unit.Plug(options);
    };
    ASSERT_TRUE(finished(1));
    EXPECT_EQ(results[0].result, Result::Failed);
    EXPECT_FALSE(station->ledger().used(1001));

    // Plugged in again, whole this time.
    k57::sim::UnitOptions whole;
    whole.serial = 1001;
    ASSERT_TRUE(replug(whole));
    ASSERT_TRUE(finished(2));
    EXPECT_EQ(results[1].result, Result::Ok);
    EXPECT_NE(unit.settings().find("PinCod=1111"), std::string::npos);

    // Once more: left alone.
    whole.settings = "MicLevel=7\n";
    ASSERT_TRUE(replug(whole));
    ASSERT_TRUE(finished(3));
    EXPECT_EQ(results[2].result, Result::Skipped);
    EXPECT_EQ(unit.settings(), "MicLevel=7\n");
    ASSERT_TRUE(station->Wait(std::chrono::seconds(30)));

    // A new run of the same batch knows from the journal that the row is
    // spent.
    results.clear();
    unit.Unplug();
    ASSERT_TRUE(unit.Plug(whole));
    auto again = Run({"COM41"}, 1);
    EXPECT_EQ(again[1001].result, Result::Skipped);
    EXPECT_EQ(unit.settings(), "MicLevel=7\n");
    EXPECT_EQ(station->counts().left, 1);
}

TEST_F(BatchStationTest, StoppingEndsTheWaitOfAPortWithNoUnit) {
    k57::BatchOptions options;
    options.ports = {"COM44"};
    station = std::make_unique<k57::BatchStation>(*plan, catalogue, options, journal());
    std::string error;
    ASSERT_TRUE(station->Start(error));
    EXPECT_TRUE(station->running());
    station->Stop();
    EXPECT_TRUE(station->Wait(std::chrono::seconds(30)));
    EXPECT_FALSE(station->running());
}

}  // namespace
