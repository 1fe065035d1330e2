// The one save and the one bounded read: a save that fails at any step
// leaves the old file whole and nothing beside it; a read refuses what is
// not a regular file or is too large, cuts long lines and stops when told.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "FileRead.h"
#include "SafeSave.h"
#include "TempDir.h"

namespace {

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

size_t Entries(const std::string& folder) {
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++count;
    }
    return count;
}

class SafeSaveTest : public ::testing::TestWithParam<k57::SaveStep> {
  protected:
    void TearDown() override { k57::SetSaveFault(nullptr); }
    k57::test::TempDir dir_;
};

// The step under test fails with ENOSPC the second time it is taken.
k57::SaveStep failing;
int FailSecond(k57::SaveStep step, int count) {
    return step == failing && count == (step == k57::SaveStep::Write ? 2 : 1) ? ENOSPC : 0;
}

TEST_P(SafeSaveTest, AFailedStepLeavesTheOldFileWholeAndSaysWhy) {
    const std::string path = dir_.path() + "/settings.txt";
    std::ofstream(path) << "old\r\n";
    failing = GetParam();
    k57::SetSaveFault(FailSecond);
    k57::SafeSaveFile file(path);
    bool saved = file.Open() && file.Write("first piece ") && file.Write("second piece") &&
                 file.Write("third") && file.Commit();
    EXPECT_FALSE(saved);
    EXPECT_NE(file.error().find(std::strerror(ENOSPC)), std::string::npos) << file.error();
    EXPECT_EQ(Contents(path), "old\r\n");
    EXPECT_EQ(Entries(dir_.path()), 1u);  // nothing left beside it
}

INSTANTIATE_TEST_SUITE_P(EveryStep, SafeSaveTest,
                         ::testing::Values(k57::SaveStep::Write, k57::SaveStep::Sync,
                                           k57::SaveStep::Close, k57::SaveStep::Rename));

TEST(SafeSave, ReplacesTheFileALinkNamesAndKeepsItsMode) {
    k57::test::TempDir dir;
    const std::string real = dir.path() + "/real.txt", link = dir.path() + "/link.txt";
    std::ofstream(real) << "old";
    ASSERT_EQ(chmod(real.c_str(), 0640), 0);
    ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
    std::string error;
    ASSERT_TRUE(k57::SafeSave(link, "new", error)) << error;
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(Contents(real), "new");
    struct stat info {};
    ASSERT_EQ(stat(real.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);

    const std::string picture = dir.path() + "/plot.png";
    const mode_t mask = umask(022);
    ASSERT_TRUE(k57::SafeSave(picture, "png", error, k57::SaveAccess::Shared)) << error;
    umask(mask);
    ASSERT_EQ(stat(picture.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST(FileRead, RefusesWhatIsNotAFileOrTooLargeAndCutsLongLines) {
    k57::test::TempDir dir;
    const std::string fifo = dir.path() + "/fifo", big = dir.path() + "/big";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::ofstream{big};
    ASSERT_EQ(truncate(big.c_str(), 5 << 20), 0);
    std::string bytes, error;
    k57::ReadProblem problem;
    EXPECT_FALSE(k57::ReadWholeFile(fifo, 1 << 20, bytes, problem, error));
    EXPECT_EQ(problem, k57::ReadProblem::NotRegular);
    EXPECT_FALSE(k57::ReadWholeFile(big, 4 << 20, bytes, problem, error));
    EXPECT_EQ(problem, k57::ReadProblem::TooLarge);
    EXPECT_TRUE(k57::ReadWholeFile(big, 5 << 20, bytes, problem, error)) << error;
    EXPECT_EQ(bytes.size(), size_t(5 << 20));

    std::istringstream lines("short\n" + std::string(10000, 'x') + "\nlast");
    std::string line;
    bool cut = false;
    ASSERT_TRUE(k57::ReadLine(lines, line, 4096, cut));
    EXPECT_EQ(line, "short");
    ASSERT_TRUE(k57::ReadLine(lines, line, 4096, cut));
    EXPECT_TRUE(cut);
    EXPECT_EQ(line.size(), 4096u);
    ASSERT_TRUE(k57::ReadLine(lines, line, 4096, cut));
    EXPECT_EQ(line, "last");
    EXPECT_FALSE(cut);
    EXPECT_FALSE(k57::ReadLine(lines, line, 4096, cut));

    // Stopped (Ctrl+C): the stream ends and says why. Last: it stays stopped.
    k57::FileStream stream;
    ASSERT_TRUE(stream.Open(big, error)) << error;
    k57::StopFileReads();
    EXPECT_FALSE(k57::ReadLine(stream, line, 4096, cut));
    EXPECT_EQ(stream.problem(), k57::ReadProblem::Stopped);
}

}  // namespace
