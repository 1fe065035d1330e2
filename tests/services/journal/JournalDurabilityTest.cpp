// The journal among other processes and bad files: writers at once, a
// writer killed mid-transaction, a damaged file, a lock held for long, a
// folder that cannot be written and a disk that is full. Nothing recorded
// is lost and the caller is never stopped.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <chrono>
#include <fstream>
#include <set>

#include "JournalTestSupport.h"

using namespace k57;
using k57::test::JournalFolder;
using k57::test::Operation;

namespace {

// Runs `work` in a child process; its exit status, or -signal.
template <typename Work>
int InChild(Work work) {
    pid_t pid = fork();
    if (pid == 0) {
        _exit(work());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(JournalDurabilityTest, WritersInTwoProcessesLoseNothing) {
    JournalFolder folder;
    Journal(folder.path()).Record(Operation(1, JournalOperation::Identify));
    constexpr int kEach = 150;
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = fork();
        if (children[c] == 0) {
            Journal journal(folder.path());
            int stored = 0;
            for (int i = 0; i < kEach; ++i) {
                JournalEntry entry = Operation(uint32_t(100 + c), JournalOperation::Backup);
                entry.before = "MicLevel=" + std::to_string(i) + "\n";
                stored += journal.Record(entry) > 0 ? 1 : 0;
            }
            _exit(stored == kEach ? 0 : 1);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    Journal journal(folder.path());
    for (uint32_t serial : {100u, 101u}) {
        std::vector<JournalEntry> timeline = journal.Timeline(serial);
        ASSERT_EQ(timeline.size(), size_t(kEach));
        EXPECT_EQ(timeline.back().before, "MicLevel=" + std::to_string(kEach - 1) + "\n");
    }
    EXPECT_EQ(folder.Count("SELECT count(DISTINCT id) FROM entries"), 2 * kEach + 1);
}

TEST(JournalDurabilityTest, AWriterKilledInATransactionLeavesTheJournalAsItWas) {
    JournalFolder folder;
    {
        Journal journal(folder.path());
        JournalEntry backup = Operation(5, JournalOperation::Backup);
        backup.before = "PinCod=1111\n";
        ASSERT_GT(journal.Record(backup), 0);
    }
    for (bool kill : {false, true}) {
        int status = InChild([&] {
            SqliteDatabase db;
            db.Open(folder.path(), false);
            db.Execute("BEGIN IMMEDIATE");
            db.Execute("DELETE FROM entries");
            db.Execute("INSERT INTO settings_texts (hash, bytes) VALUES (1, x'00')");
            if (kill) {
                raise(SIGKILL);
            }
            _exit(7);  // no commit, no close
            return 0;
        });
        EXPECT_EQ(status, kill ? -SIGKILL : 7);

        Journal journal(folder.path());
        ASSERT_TRUE(journal.Available()) << journal.Status().message;
        std::optional<JournalEntry> backup = journal.LatestBackup(5);
        ASSERT_TRUE(backup);
        EXPECT_EQ(backup->before, "PinCod=1111\n");
        EXPECT_EQ(folder.Count("SELECT count(*) FROM settings_texts"), 1);
        EXPECT_GT(journal.Record(Operation(5, JournalOperation::Restart)), 0);
    }
}

TEST(JournalDurabilityTest, ADamagedFileIsSetAsideNotWrittenOver) {
    JournalFolder folder;
    std::string garbage(8192, '\x5a');
    garbage.replace(0, 20, "this is no database!");
    std::ofstream(folder.path(), std::ios::binary) << garbage;
    std::ofstream(folder.path() + "-wal", std::ios::binary) << "not a log";

    Journal journal(folder.path());
    ASSERT_TRUE(journal.Available()) << journal.Status().message;
    const JournalStatus& status = journal.Status();
    EXPECT_EQ(status.problem, JournalProblem::Damaged);
    EXPECT_EQ(status.damagedPath.rfind(folder.path() + ".damaged-", 0), 0u);
    EXPECT_EQ(status.damagedPath.size(), folder.path().size() + 24);  // -YYYYMMDD-HHMMSS
    EXPECT_EQ(Contents(status.damagedPath), garbage);
    EXPECT_EQ(Contents(status.damagedPath + "-wal"), "not a log");
    std::string told = journal.TakeProblem();
    EXPECT_NE(told.find(folder.path() + " was damaged"), std::string::npos);
    EXPECT_NE(told.find(status.damagedPath), std::string::npos);
    EXPECT_EQ(journal.TakeProblem(), "");  // once

    EXPECT_GT(journal.Record(Operation(9, JournalOperation::Identify)), 0);
    EXPECT_EQ(journal.Units().size(), 1u);

    // Damage that only SQLite sees, the same second: a name of its own.
    std::string first = status.damagedPath;
    { Journal dummy(folder.path()); }
    std::string inside = std::string("SQLite format 3\0", 16) + garbage.substr(16);
    std::ofstream(folder.path(), std::ios::binary | std::ios::trunc) << inside;
    QFile::remove(QString::fromStdString(folder.path() + "-wal"));
    QFile::remove(QString::fromStdString(folder.path() + "-shm"));
    Journal again(folder.path());
    EXPECT_TRUE(again.Available());
    EXPECT_EQ(again.Status().problem, JournalProblem::Damaged);
    EXPECT_NE(again.Status().damagedPath, first);
    EXPECT_EQ(Contents(again.Status().damagedPath), inside);
    EXPECT_EQ(Contents(first), garbage);
}

TEST(JournalDurabilityTest, ALockHeldForLongIsReportedOnceAndTheCallerGoesOn) {
    JournalFolder folder;
    JournalOptions quick;
    quick.busyTimeoutMs = 100;
    quick.busyAttempts = 2;
    Journal journal(folder.path(), quick);
    ASSERT_GT(journal.Record(Operation(3, JournalOperation::Identify)), 0);

    SqliteDatabase other;
    ASSERT_EQ(other.Open(folder.path(), false), 0);
    ASSERT_EQ(other.Execute("BEGIN IMMEDIATE"), 0);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(journal.Record(Operation(3, JournalOperation::Restart)), 0);
    EXPECT_EQ(journal.Record(Operation(3, JournalOperation::Restart)), 0);
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(4 * 100));
    EXPECT_LT(waited, std::chrono::seconds(5));
    EXPECT_EQ(journal.Status().problem, JournalProblem::Busy);
    EXPECT_NE(journal.TakeProblem().find("busy"), std::string::npos);
    EXPECT_EQ(journal.TakeProblem(), "");       // the second failure is the same problem
    EXPECT_EQ(journal.Timeline(3).size(), 1u);  // readers are not held up
    EXPECT_TRUE(journal.Available());

    ASSERT_EQ(other.Execute("COMMIT"), 0);
    EXPECT_GT(journal.Record(Operation(3, JournalOperation::Restart)), 0);
    EXPECT_EQ(journal.Status().problem, JournalProblem::None);
}

TEST(JournalDurabilityTest, AFolderThatCannotBeMadeLeavesTheJournalOff) {
    JournalFolder folder;
    std::ofstream(folder.folder() + "/file") << "x";
    Journal journal(folder.folder() + "/file/journal.sqlite3");
    EXPECT_FALSE(journal.Available());
    EXPECT_EQ(journal.Status().problem, JournalProblem::ReadOnly);
    EXPECT_NE(journal.TakeProblem().find("cannot be written"), std::string::npos);
    EXPECT_EQ(journal.Record(Operation(1, JournalOperation::Identify)), 0);
    EXPECT_TRUE(journal.Units().empty());
    EXPECT_FALSE(journal.Entry(1));
    EXPECT_EQ(journal.TakeProblem(), "");
}

TEST(JournalDurabilityTest, AFullDiskLosesTheNewEntryOnlyAndSaysSo) {
    JournalFolder folder;
    {
        Journal journal(folder.path());
        ASSERT_GT(journal.Record(Operation(8, JournalOperation::Identify)), 0);
    }
    // The child may grow no file past 200 KB: a big backup cannot fit.
    int status = InChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{200 * 1024, 200 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        Journal journal(folder.path());
        JournalEntry huge = Operation(8, JournalOperation::Backup);
        huge.before = std::string(1 << 20, 'x');
        if (journal.Record(huge) != 0) {
            return 1;
        }
        std::string told = journal.TakeProblem();
        if (told.find(folder.path()) == std::string::npos || !journal.Available()) {
            return 2;
        }
        return journal.Record(Operation(8, JournalOperation::Restart)) > 0 ? 0 : 3;
    });
    EXPECT_EQ(status, 0);
    Journal journal(folder.path());
    ASSERT_TRUE(journal.Available()) << journal.Status().message;
    std::vector<JournalEntry> timeline = journal.Timeline(8);
    ASSERT_EQ(timeline.size(), 2u);
    EXPECT_EQ(timeline[1].operation, JournalOperation::Restart);
}

}  // namespace
