// The batch run's summary file: a line per unit as each finishes, quoted as
// a spreadsheet reads it, and every failure to save it told to the run.

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "BatchSummary.h"
#include "Cp1251.h"
#include "CsvRecords.h"
#include "SafeSave.h"
#include "TempDir.h"

namespace {

using namespace k57;
namespace fs = std::filesystem;

const auto kStart = std::chrono::system_clock::from_time_t(1796795496);  // 2026-12-09 05:51:36 UTC

BatchUnitResult Unit(uint32_t serial, std::string reason = {}) {
    BatchUnitResult unit;
    unit.result = reason.empty() ? BatchUnitResult::Result::Ok : BatchUnitResult::Result::Failed;
    unit.verified = reason.empty();
    unit.port = "/dev/ttyACM0";
    unit.serial = serial;
    unit.unitType = *cp1251::FromUtf8("K57 Охрана");
    unit.firmwareBefore = "000.009";
    unit.firmwareAfter = "000.010";
    unit.row = 2;
    unit.reason = std::move(reason);
    unit.finished = kStart + std::chrono::seconds(90);
    return unit;
}

std::string Read(const std::string& path) {
    std::ifstream in(fs::u8path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

int FailSecondRename(SaveStep step, int count) {
    return step == SaveStep::Rename && count == 2 ? EIO : 0;
}

TEST(BatchSummaryTest, EachUnitAddsALineReadBackCellForCell) {
    k57::test::TempDir dir;
    BatchSummary summary(dir.path(), kStart);
    EXPECT_EQ(fs::path(summary.path()).filename().string().rfind("batch-2026120", 0), 0u)
        << summary.path();
    std::string error;
    ASSERT_TRUE(summary.Start(error)) << error;
    ASSERT_TRUE(summary.Add(Unit(1001), "K57-1001.pdf", error)) << error;
    const std::string reason = "no reply, \"COM5\" closed\nat once";
    ASSERT_TRUE(summary.Add(Unit(1002, reason), "", error)) << error;

    const CsvSplit split = SplitCsv(Read(summary.path()), 10);
    ASSERT_EQ(split.problem, CsvSplit::Problem::None);
    ASSERT_EQ(split.records.size(), 3u);
    EXPECT_EQ(split.records[0].cells,
              (std::vector<std::string>{"time", "port", "serial", "type", "firmware_before",
                                        "firmware_after", "result", "verified", "row", "reason",
                                        "certificate"}));
    EXPECT_EQ(
        split.records[1].cells,
        (std::vector<std::string>{"2026-12-09T05:53:06Z", "/dev/ttyACM0", "1001", "K57 Охрана",
                                  "000.009", "000.010", "ok", "yes", "2", "", "K57-1001.pdf"}));
    ASSERT_EQ(split.records[2].cells.size(), 11u);
    EXPECT_EQ(split.records[2].cells[6], "failed");
    EXPECT_EQ(split.records[2].cells[7], "no");
    EXPECT_EQ(split.records[2].cells[9], reason);
}

TEST(BatchSummaryTest, AFailedSaveIsToldAndItsLineComesWithTheNext) {
    k57::test::TempDir dir;
    BatchSummary summary(dir.path(), kStart);
    std::string error;
    SetSaveFault(&FailSecondRename);
    ASSERT_TRUE(summary.Start(error)) << error;
    EXPECT_FALSE(summary.Add(Unit(1001), "", error));
    EXPECT_FALSE(error.empty());
    SetSaveFault(nullptr);
    EXPECT_EQ(SplitCsv(Read(summary.path()), 10).records.size(), 1u);  // the header, whole
    ASSERT_TRUE(summary.Add(Unit(1002), "", error)) << error;
    const CsvSplit split = SplitCsv(Read(summary.path()), 10);
    ASSERT_EQ(split.records.size(), 3u);
    EXPECT_EQ(split.records[1].cells[2], "1001");
    EXPECT_EQ(split.records[2].cells[2], "1002");
}

TEST(BatchSummaryTest, AFolderThatCannotBeWrittenOrAnotherRunsFileIsRefused) {
    k57::test::TempDir dir;
    std::ofstream(fs::path(dir.path()) / "file") << "x";
    BatchSummary nowhere((fs::path(dir.path()) / "file").string(), kStart);
    std::string error;
    EXPECT_FALSE(nowhere.Start(error));
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(nowhere.Add(Unit(1001), "", error));
    EXPECT_FALSE(error.empty());

    BatchSummary first(dir.path(), kStart);
    ASSERT_TRUE(first.Start(error)) << error;
    ASSERT_TRUE(first.Add(Unit(1001), "", error)) << error;
    BatchSummary second(dir.path(), kStart);
    EXPECT_FALSE(second.Start(error));
    EXPECT_NE(error.find(second.path()), std::string::npos) << error;
    EXPECT_EQ(SplitCsv(Read(first.path()), 10).records.size(), 2u);
}

}  // namespace
