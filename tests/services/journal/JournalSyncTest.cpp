// The journal shared through a workshop's PostgreSQL server: entries pushed
// once each whatever is cut off, pulled by other PCs, the server's grants,
// and a server that is away, refuses or is newer told in plain words while
// the local journal goes on.

#include <gtest/gtest.h>


#include <chrono>
#include <thread>

#include "JournalServer.h"
#include "JournalSync.h"
#include "JournalTestSupport.h"
#include "PgTestServer.h"
#include "ServerSchema.h"
#ifndef _WIN32
#include "SilentPort.h"
#endif

using namespace k57;
using k57::test::JournalFolder;
using k57::test::Operation;
using k57::test::PgPrivateServer;
using k57::test::PgTestDatabase;

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The server's journal made by its administrator, and a technician's login.
std::string Technician(PgTestDatabase& db, const std::string& base = "bench") {
    PgConnection admin;
    std::string error;
    EXPECT_TRUE(admin.Connect(db.uri(), 10000)) << admin.error();
    EXPECT_TRUE(InitServerJournal(admin, error)) << error;
    std::string login = db.Role(base);
    EXPECT_EQ(db.CreateLogin(login, "pw-" + login, "k57_technician"), "");
    return db.UriAs(login, "pw-" + login);
}

JournalEntry Made(uint32_t serial, const std::string& pc, int n) {
    JournalEntry entry = Operation(serial, JournalOperation::ReadSettings);
    entry.pc = pc;
    entry.detail = pc + " #" + std::to_string(n);
    entry.after = "MicLevel=" + std::to_string(n % 16) + "\n";
    return entry;
}


long long ServerCount(PgTestDatabase& db, const char* what = "count(*)") {
    return std::stoll(db.Row(std::string("SELECT ") + what + " FROM k57.entries")[0]);
}

// A database of the test's own with the server's journal made, a
// technician's address to it, and this PC's journal.
class SharedJournal : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!db.available()) {
            GTEST_SKIP() << db.skipReason();
        }
        uri = Technician(db);
    }

    PgTestDatabase db;
    std::string uri;
    JournalFolder folder;
    Journal journal{folder.path()};
};

TEST_F(SharedJournal, TwoPcsAtOnceLeaveEveryEntryOnceOnTheServerAndAThirdPullsThemAll) {
    JournalFolder folderA, folderB, folderC;
    // Each PC records an operation and pushes it at once, as k57ctl does
    // after every command; both at the same time.
    auto work = [&](const std::string& path, const std::string& pc, uint32_t serial) {
        Journal journal(path);
        JournalSync sync(journal, uri);
        for (int n = 0; n < 500; ++n) {
            ASSERT_NE(journal.Record(Made(serial, pc, n)), 0);
            SyncOutcome outcome = sync.Push();
            ASSERT_TRUE(outcome.done()) << outcome.reason;
        }
        EXPECT_EQ(journal.QueuedCount(), 0);
    };
    std::thread a(work, folderA.path(), "PC-A", 1001u);
    std::thread b(work, folderB.path(), "PC-B", 1002u);
    a.join();
    b.join();
    EXPECT_EQ(ServerCount(db), 1000);
    EXPECT_EQ(ServerCount(db, "count(DISTINCT uuid)"), 1000);
    EXPECT_EQ(ServerCount(db, "max(seq) - min(seq) + 1"), 1000);  // no gaps: nothing retried

    Journal third(folderC.path());
    SyncOutcome pulled = JournalSync(third, uri).Sync();
    ASSERT_TRUE(pulled.done()) << pulled.reason;
    EXPECT_EQ(pulled.pulled, 1000);
    EXPECT_EQ(pulled.pushed, 0);
    std::vector<JournalEntry> timeline = third.Timeline(1002);
    ASSERT_EQ(timeline.size(), 500u);
    EXPECT_TRUE(timeline[0].pulled);
    EXPECT_EQ(timeline[0].pc, "PC-B");
    EXPECT_EQ(timeline[499].detail, "PC-B #499");  // in the order B made them
    EXPECT_EQ(timeline[499].after, "MicLevel=3\n");
    // Pulling again brings nothing twice; PC A gets B's 500 and keeps its own.
    EXPECT_EQ(JournalSync(third, uri).Pull().pulled, 0);
    Journal journalA(folderA.path());
    EXPECT_EQ(JournalSync(journalA, uri).Pull().pulled, 500);
    EXPECT_EQ(journalA.Timeline(1001).size(), 500u);
    EXPECT_EQ(journalA.QueuedCount(), 0);
}

TEST_F(SharedJournal, APushMadeAgainAfterBeingCutOffAddsNothingTwice) {
    for (int n = 0; n < 1200; ++n) {
        journal.Record(Made(7, "PC-A", n));
    }
    ASSERT_TRUE(JournalSync(journal, uri).Push().done());
    // The server took every batch but the PC never heard so (cut off
    // between the server's commit and the journal's note): all are sent again.
    ASSERT_TRUE(journal.RequeueAll());
    EXPECT_EQ(journal.QueuedCount(), 1200);
    SyncOutcome again = JournalSync(journal, uri).Sync();
    ASSERT_TRUE(again.done()) << again.reason;
    EXPECT_EQ(again.pushed, 1200);
    EXPECT_EQ(again.pulled, 0);  // its own entries coming back are not new
    EXPECT_EQ(again.queued, 0);
    EXPECT_EQ(ServerCount(db), 1200);
    EXPECT_EQ(journal.Timeline(7).size(), 1200u);
}

TEST_F(SharedJournal, WhatAnotherLoginAddedComesDownBoundedAndWhatThisBuildDoesNotKnowKeptVisible) {
    // Rows as any login in the technicians' role could add them by hand.
    ASSERT_EQ(db.Execute("INSERT INTO k57.entries (uuid, time_ms, serial, unit_type, firmware, "
                         "operation, port, result, detail, tool_version, front_end, pc, "
                         "user_name, before, after) VALUES "
                         "(gen_random_uuid(), 1, 11, 'K57', '1', 'read settings', 'COM5', 'ok', "
                         "repeat('d', 100000), 'x', 'k57ctl', 'PC-X', 'u', "
                         "convert_to(repeat('A', 70000), 'UTF8'), convert_to('Mic=1', 'UTF8')),"
                         "(gen_random_uuid(), 2, 11, 'K57', '1', 'calibrate', 'COM5', 'melted', "
                         "'', 'x', 'k57ctl', 'PC-X', 'u', NULL, NULL)"),
              "");
    SyncOutcome pulled = JournalSync(journal, uri).Pull();
    ASSERT_TRUE(pulled.done()) << pulled.reason;
    std::vector<JournalEntry> entries = journal.Timeline(11);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_FALSE(entries[0].before);  // too large: left on the server
    EXPECT_EQ(entries[0].after, "Mic=1");
    EXPECT_LT(entries[0].detail.size(), 4200u);
    EXPECT_NE(entries[0].detail.find("settings too large"), std::string::npos);
    EXPECT_EQ(entries[1].detail, "[calibrate] [melted] ");
}

TEST_F(SharedJournal, ATechnicianMayAddAndReadButTheServerRefusesChangesAndDeletions) {
    journal.Record(Made(9, "PC-A", 1));
    ASSERT_TRUE(JournalSync(journal, uri).Push().done());

    PgConnection technician;
    ASSERT_TRUE(technician.Connect(uri, 10000)) << technician.error();
    EXPECT_EQ(technician.Exec("SELECT count(*) FROM k57.entries").Text(0, 0), "1");
    for (const char* change :
         {"UPDATE k57.entries SET detail = 'changed'", "DELETE FROM k57.entries",
          "TRUNCATE k57.entries", "UPDATE k57.journal_info SET version = 0",
          "DROP TABLE k57.entries"}) {
        PgResult result = technician.Exec(change);
        EXPECT_FALSE(result.ok()) << change;
        EXPECT_TRUE(result.state() == "42501" || result.state() == "42P01") << result.error();
    }
    EXPECT_EQ(db.Row("SELECT count(*), min(detail) FROM k57.entries"),
              (std::vector<std::string>{"1", "PC-A #1"}));
}

TEST(JournalSync, AServerStoppedInTheMiddleCostsOneTryThenTheWorkGoesOnAndOneSyncCatchesUp) {
    PgPrivateServer server;
    if (!server.available()) {
        GTEST_SKIP() << server.skipReason();
    }
    {
        PgConnection admin;
        std::string error;
        ASSERT_TRUE(admin.Connect(server.uri(), 10000)) << admin.error();
        ASSERT_TRUE(InitServerJournal(admin, error)) << error;
    }
    JournalFolder folder;
    Journal journal(folder.path());
    JournalSync sync(journal, server.uri());
    for (int n = 0; n < 50; ++n) {
        journal.Record(Made(5, "PC-A", n));
        ASSERT_TRUE(sync.Push().done());
    }
    ASSERT_EQ(server.Stop(), "");
    // The first operation after the server went pays for one failed try;
    // then none is due, and the work goes on without the network.
    journal.Record(Made(5, "PC-A", 50));
    ASSERT_TRUE(sync.Due());
    SyncOutcome failed = sync.Push();
    EXPECT_FALSE(failed.reached);
    EXPECT_FALSE(failed.reason.empty());
    EXPECT_EQ(failed.queued, 1);
    auto start = Clock::now();
    for (int n = 51; n < 250; ++n) {
        ASSERT_NE(journal.Record(Made(5, "PC-A", n)), 0);
        ASSERT_FALSE(sync.Due());
    }
    EXPECT_LT(SecondsSince(start), 60.0);  // would be minutes with a try each
    EXPECT_EQ(journal.QueuedCount(), 200);
    EXPECT_FALSE(sync.Status().lastProblem.empty());

    ASSERT_EQ(server.Start(), "");
    SyncOutcome caught = JournalSync(journal, server.uri()).Sync();
    ASSERT_TRUE(caught.done()) << caught.reason;
    EXPECT_EQ(caught.pushed, 200);
    EXPECT_EQ(caught.queued, 0);
    EXPECT_TRUE(sync.Due());
    EXPECT_TRUE(sync.Status().lastProblem.empty());
    PgConnection check;
    ASSERT_TRUE(check.Connect(server.uri(), 10000));
    EXPECT_EQ(check.Exec("SELECT count(*), count(DISTINCT uuid) FROM k57.entries").Text(0, 0),
              "250");
    EXPECT_EQ(check.Exec("SELECT count(DISTINCT uuid) FROM k57.entries").Text(0, 0), "250");
}

TEST_F(SharedJournal, AWrongPasswordNoServerOrANewerJournalIsToldAndTheLocalWorkGoesOn) {
    auto tried = [&](const std::string& server) {
        journal.Record(Made(3, "PC-A", 0));
        return JournalSync(journal, server).Sync();
    };

    SyncOutcome password = tried(db.UriAs(db.Role("bench"), "wrong"));
    EXPECT_FALSE(password.reached);
    EXPECT_NE(password.reason.find("password authentication failed"), std::string::npos)
        << password.reason;
    EXPECT_EQ(password.reason.find("wrong"), std::string::npos);  // never the password

#ifndef _WIN32
    // A port nobody listens on, then one that takes the connection and
    // never answers: the second costs the time-out, no more.
    k57::test::SilentPort closed(false);
    k57::test::SilentPort silent;
    ASSERT_NE(closed.port(), 0);
    ASSERT_NE(silent.port(), 0);
    SyncOutcome refused = tried(closed.Uri());
    EXPECT_FALSE(refused.answered);
    EXPECT_FALSE(refused.reason.empty());
    auto start = Clock::now();
    SyncOutcome hung = tried(silent.Uri());
    double waited = SecondsSince(start);
    EXPECT_FALSE(hung.answered);
    EXPECT_NE(hung.reason.find("no answer within 2 s"), std::string::npos) << hung.reason;
    EXPECT_GE(waited, 1.9);
    EXPECT_LT(waited, 10.0);  // 2 s on an idle machine; generous for a busy one
#else
    journal.Record(Made(3, "PC-A", 0));
    journal.Record(Made(3, "PC-A", 0));
#endif

    ASSERT_EQ(db.Execute("UPDATE k57.journal_info SET version = 99"), "");
    SyncOutcome newer = tried(uri);
    EXPECT_TRUE(newer.answered);
    EXPECT_FALSE(newer.reached);
    EXPECT_NE(newer.reason.find("newer version (99)"), std::string::npos) << newer.reason;
    EXPECT_NE(SyncProblemText(uri, newer).find("update the tool"), std::string::npos);
    EXPECT_EQ(ServerCount(db), 0);

    // Everything was kept here all along.
    EXPECT_EQ(journal.Timeline(3).size(), 4u);
    EXPECT_EQ(journal.QueuedCount(), 4);
}

}  // namespace
