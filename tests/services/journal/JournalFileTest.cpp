// The journal's file among the user's others: readable by the user alone,
// side files left behind with the wrong permissions, a folder that cannot
// be written, damage that only a query meets. The permission cases run as
// an ordinary user: root writes whatever the permissions say.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "DamagedJournal.h"
#include "JournalTestSupport.h"
#include "ServiceRecord.h"

using namespace k57;
using k57::test::JournalFolder;
using k57::test::Operation;

namespace {

constexpr uid_t kNobody = 65534;

int Mode(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

int Wait(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 200 + WTERMSIG(status);
}

// Runs `work` in a child process that the permissions bind: the test's own
// user, or nobody (owning `folder`) when the test runs as root.
template <typename Work>
int AsOrdinaryUser(const std::string& folder, Work work) {
    pid_t pid = fork();
    if (pid == 0) {
        if (geteuid() == 0 && (chown(folder.c_str(), kNobody, kNobody) != 0 ||
                               setgid(kNobody) != 0 || setuid(kNobody) != 0)) {
            _exit(100);
        }
        _exit(work());
    }
    return Wait(pid);
}

// A program that ends without closing the journal leaves its -wal and -shm
// beside it; this one also left its -shm read-only.
int LeaveReadOnlyIndex(const std::string& path) {
    pid_t pid = fork();
    if (pid == 0) {
        Journal journal(path);
        bool stored = journal.Record(Operation(1, JournalOperation::Identify)) > 0;
        _exit(stored && chmod((path + "-shm").c_str(), 0444) == 0 ? 0 : 1);
    }
    return Wait(pid);
}

TEST(JournalFileTest, TheJournalItsFolderAndItsSideFilesAreTheUsersAlone) {
    JournalFolder folder;
    mode_t before = umask(022);
    std::string data = folder.folder() + "/k57tool";
    std::string path = data + "/journal.sqlite3";
    {
        Journal journal(path);
        ASSERT_GT(journal.Record(Operation(1, JournalOperation::Identify)), 0);
        EXPECT_EQ(Mode(data), 0700);
        for (const char* part : {"", "-wal", "-shm"}) {
            EXPECT_EQ(Mode(path + part), 0600) << part;
        }
    }
    umask(before);
    EXPECT_EQ(Mode(path), 0600);
}

TEST(JournalFileTest, AStaleIndexLeftReadOnlyIsMendedAndRecordingGoesOn) {
    JournalFolder folder;
    std::string path = folder.path();
    int status = AsOrdinaryUser(folder.folder(), [&] {
        if (LeaveReadOnlyIndex(path) != 0 || Mode(path + "-shm") != 0444) {
            return 1;
        }
        Journal journal(path);
        if (journal.Record(Operation(1, JournalOperation::Restart)) <= 0) {
            return 2;
        }
        if (Mode(path + "-shm") != 0600) {
            return 3;
        }
        return journal.Timeline(1).size() == 2 ? 0 : 4;
    });
    EXPECT_EQ(status, 0);
}

TEST(JournalFileTest, AStaleIndexOfAnotherUserIsNamedInTheMessage) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "a file of another user needs root to make";
    }
    JournalFolder folder;
    std::string path = folder.path();
    ASSERT_EQ(AsOrdinaryUser(folder.folder(), [&] { return LeaveReadOnlyIndex(path); }), 0);
    ASSERT_EQ(chown((path + "-shm").c_str(), 0, 0), 0);
    int status = AsOrdinaryUser(folder.folder(), [&] {
        Journal journal(path);
        if (journal.Record(Operation(1, JournalOperation::Restart)) != 0) {
            return 1;
        }
        std::string told = journal.TakeProblem();
        return told.find(path + "-shm") != std::string::npos ? 0 : 2;
    });
    EXPECT_EQ(status, 0);
}

TEST(JournalFileTest, InAReadOnlyFolderNoEntryIsClaimedStored) {
    JournalFolder folder;
    std::string path = folder.path();
    int status = AsOrdinaryUser(folder.folder(), [&] {
        Journal(path).Record(Operation(4, JournalOperation::Identify));
        chmod(folder.folder().c_str(), 0555);
        ServiceRecord record(JournalFrontEnd::Ctl, path);
        long long id = record.Record(JournalOperation::Backup, "COM5", JournalResult::Ok,
                                     "before write settings", std::string("MicLevel=3\n"));
        std::string told = record.TakeProblem();
        chmod(folder.folder().c_str(), 0700);
        if (id != 0) {
            return 1;
        }
        return told.find(folder.folder() + " may not be written") != std::string::npos ? 0 : 2;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(folder.Count("SELECT count(*) FROM entries"), 1);
}

// Damage met by a read or by a write: the call fails visibly, the words
// name the file kept aside, once, and a new journal goes on in its place.
TEST(JournalFileTest, DamageMetByAQueryOrAWriteIsToldOnceNamingTheFileKeptAside) {
    for (bool write : {false, true}) {
        JournalFolder folder;
        k57::test::DamageTheMiddle(folder.path());
        Journal journal(folder.path());
        JournalEntry backup = Operation(2, JournalOperation::Backup);
        backup.before = "MicLevel=4\n";
        if (write) {
            EXPECT_EQ(journal.Record(backup), 0);
        } else {
            EXPECT_TRUE(journal.Units().empty());
        }
        EXPECT_TRUE(journal.lastCallFailed());
        const JournalStatus& status = journal.Status();
        EXPECT_EQ(status.problem, JournalProblem::Damaged);
        ASSERT_FALSE(status.damagedPath.empty());
        std::string told = journal.TakeProblem();
        EXPECT_NE(told.find("kept as " + status.damagedPath), std::string::npos) << told;
        EXPECT_EQ(journal.TakeProblem(), "");
        EXPECT_GT(journal.Record(Operation(1, JournalOperation::Identify)), 0);
        EXPECT_FALSE(journal.lastCallFailed());
    }
}

}  // namespace
