// A push waits for the server's push lock only so long: a PC that lost its
// network in the middle of a push keeps the lock until the server notices,
// which may take hours, and no other PC's push, nor k57ctl, may hang on it.

#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "Journal.h"
#include "JournalSync.h"
#include "PgConnection.h"
#include "PgTestServer.h"
#include "ServerSchema.h"
#include "TempDir.h"

namespace {

TEST(JournalSyncLockTest, APushGivesUpOnALockAnotherSessionNeverLetsGo) {
    k57::test::PgTestDatabase db;
    if (!db.available()) {
        GTEST_SKIP() << db.skipReason();
    }
    k57::PgConnection holder;
    std::string error;
    ASSERT_TRUE(holder.Connect(db.uri(), 10000)) << holder.error();
    ASSERT_TRUE(k57::InitServerJournal(holder, error)) << error;

    k57::test::TempDir dir;
    k57::Journal journal(dir.path() + "/journal.sqlite3");
    k57::JournalEntry entry;
    entry.serial = 1;
    ASSERT_NE(journal.Record(entry), 0);
    k57::JournalSync sync(journal, db.uri());
    ASSERT_TRUE(sync.Pull().done());  // the server's journal is known: only the push waits

    // The session of a PC gone silent in the middle of its push.
    ASSERT_TRUE(holder.Run("BEGIN") && holder.Run("SELECT pg_advisory_xact_lock(57001)"))
        << holder.error();
    auto push = std::async(std::launch::async, [&] { return sync.Push(); });
    bool gaveUp = push.wait_for(std::chrono::seconds(60)) == std::future_status::ready;
    holder.Run("COMMIT");  // lets a push that hung end, so the test does
    k57::SyncOutcome outcome = push.get();
    EXPECT_TRUE(gaveUp);
    EXPECT_FALSE(outcome.done());
    EXPECT_NE(outcome.reason.find("lock timeout"), std::string::npos) << outcome.reason;
    EXPECT_EQ(journal.QueuedCount(), 1);

    // The lock free again, the entry goes at the next push.
    EXPECT_TRUE(sync.Push().done());
    EXPECT_EQ(journal.QueuedCount(), 0);
}

}  // namespace
