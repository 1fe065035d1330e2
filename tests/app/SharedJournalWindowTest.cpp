// The window with the workshop's shared journal, against a real PostgreSQL
// server: what one PC records shows in another's journal window, entries
// wait (and the windows say so) while the server is away, closing never
// waits on a server that does not answer, and the server is set from the
// journal window.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "HistoryForm.h"
#include "Journal.h"
#include "JournalServer.h"
#include "MainForm.h"
#include "PgConnection.h"
#include "PgTestServer.h"
#include "QuickSessions.h"
#include "ScriptedDialogs.h"
#include "ServerSchema.h"
#include "Settle.h"
#include "SharingBar.h"
#include "SilentPort.h"
#include "SimulatedUnits.h"
#include "TempDir.h"

using k57::JournalEntry;
using k57::JournalOperation;

namespace {

// Generous: a busy machine runs the other tests meanwhile.
constexpr int kWaitMs = 30000;

std::string InitServer(const std::string& uri) {
    k57::PgConnection server;
    std::string error;
    if (!server.Connect(uri, 10000)) {
        return server.error();
    }
    return k57::InitServerJournal(server, error) ? std::string() : error;
}

// The server's journal made, and the tool set to share through it.
std::string Share(const std::string& uri) {
    std::string error = InitServer(uri);
    if (error.empty() && !k57::StoreServer(uri)) {
        error = "the tool's settings cannot be written";
    }
    return error;
}

long long ServerEntries(const std::string& uri) {
    k57::PgConnection server;
    if (!server.Connect(uri, 10000)) {
        return -1;
    }
    k57::PgResult rows = server.Exec("SELECT count(*) FROM k57.entries");
    return rows.ok() ? rows.Integer(0, 0) : -1;
}

QString Column(QTreeWidget* timeline, int row, int column) {
    return timeline->topLevelItem(row)->text(column);
}

// "ПК" in the timeline's header.
int PcColumn(QTreeWidget* timeline) {
    for (int column = 0; column < timeline->columnCount(); ++column) {
        if (timeline->headerItem()->text(column) == QString::fromUtf8("ПК")) {
            return column;
        }
    }
    return -1;
}

class SharedJournalWindowTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override { k57::StoredPort::Write("COM5"); }

    void Open() { form = std::make_unique<TMainForm>(dialogs, k57::test::QuickSessions()); }
    k57::JournalSharing& Sharing() { return form->journalSharing(); }
    QLabel* Line() { return form->findChild<QLabel*>("JournalLine"); }
    // Until the window's sharing has reported a try with this many waiting.
    bool WaitQueued(long long queued) {
        return QTest::qWaitFor(
            [&] { return Sharing().state().configured && Sharing().state().queued == queued; },
            kWaitMs);
    }

    k57::test::ScriptedDialogs dialogs;
    std::unique_ptr<TMainForm> form;
};

TEST_F(SharedJournalWindowTest, WhatAnotherPcRecordedShowsInTheJournalWindowAfterItsSync) {
    k57::test::PgTestDatabase db;
    if (!db.available()) {
        GTEST_SKIP() << db.skipReason();
    }
    ASSERT_EQ(Share(db.uri()), "");

    // This PC knows unit 4242 from its own work; its window is open on it.
    {
        k57::Journal here;
        JournalEntry entry;
        entry.serial = 4242;
        entry.operation = JournalOperation::Identify;
        entry.port = "COM5";
        ASSERT_NE(here.Record(entry), 0);
    }
    Open();
    ASSERT_TRUE(WaitQueued(0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Sharing().state().lastPull.empty(); }, kWaitMs));
    THistoryForm history(form->guardedChange(), dialogs, form->parameterList(), form.get(),
                         &Sharing());
    auto* units = history.findChild<QListWidget*>("UnitList");
    auto* timeline = history.findChild<QTreeWidget*>("Timeline");
    ASSERT_EQ(units->count(), 1);
    ASSERT_EQ(timeline->topLevelItemCount(), 1);
    timeline->topLevelItem(0)->setSelected(true);
    EXPECT_EQ(Column(timeline, 0, PcColumn(timeline)), "");

    // The other PC, its journal a file of its own, writes the unit's
    // settings and brings a unit this PC never saw.
    k57::test::TempDir otherPc;
    std::string otherPath = otherPc.path() + "/journal.sqlite3";
    {
        k57::Journal there(otherPath);
        JournalEntry entry;
        entry.serial = 4242;
        entry.operation = JournalOperation::WriteSettings;
        entry.after = "MicLevel=3\n";
        entry.pc = "ПК-2";
        entry.user = "mechanic";
        ASSERT_NE(there.Record(entry), 0);
        entry.serial = 777;
        ASSERT_NE(there.Record(entry), 0);
        // Its window opens: what waits goes at once.
        k57::JournalSharing sharing(otherPath);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return sharing.state().queued == 0 && !sharing.state().lastPush.empty(); },
            kWaitMs))
            << sharing.state().lastProblem;
    }
    ASSERT_EQ(ServerEntries(db.uri()), 3);

    // This PC's sync brings both down; the window shows them at once and
    // keeps the unit and the entry chosen.
    QTest::mouseClick(history.findChild<QPushButton*>("SyncButton"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return timeline->topLevelItemCount() == 2; }, kWaitMs));
    EXPECT_EQ(units->count(), 2);
    EXPECT_EQ(units->currentItem()->data(Qt::UserRole).toLongLong(), 4242);
    int pc = PcColumn(timeline);
    ASSERT_GE(pc, 0);
    QStringList column;
    for (int row = 0; row < 2; ++row) {
        column << Column(timeline, row, pc);
    }
    EXPECT_EQ(column, QStringList({QString::fromUtf8("ПК-2"), ""}));
    EXPECT_FALSE(timeline->topLevelItem(0)->isSelected());
    EXPECT_TRUE(timeline->topLevelItem(1)->isSelected());

    timeline->clearSelection();
    timeline->topLevelItem(0)->setSelected(true);
    EXPECT_EQ(history.entryText(), QString::fromUtf8("ПК: ПК-2, пользователь: mechanic"));
    EXPECT_EQ(history.shownText(), "MicLevel=3\n");
    EXPECT_NE(history.sharingBar()->stateText().indexOf(QString::fromUtf8("Все записи отправлены")),
              -1)
        << history.sharingBar()->stateText().toStdString();
}

// The operations go through the unit as at the bench; while the server is
// stopped they wait, and both windows say how many and why.
TEST_F(SharedJournalWindowTest, WhileTheServerIsAwayEntriesWaitAndTheWindowsSaySo) {
    k57::test::PgPrivateServer server;
    if (!server.available()) {
        GTEST_SKIP() << server.skipReason();
    }
    ASSERT_EQ(Share(server.uri()), "");
    k57::sim::UnitOptions options;
    options.serial = 5151;
    Plug(5, options);
    Open();
    form->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Sharing().state().lastPull.empty(); }, kWaitMs));
    EXPECT_FALSE(Line()->isVisible());

    ASSERT_EQ(server.Stop(), "");
    form->GetSerialButtonClick();
    ASSERT_TRUE(k57::test::Settle(form->Device()));
    ASSERT_TRUE(WaitQueued(1)) << Sharing().state().queued;
    ASSERT_TRUE(QTest::qWaitFor([&] { return Line()->isVisible(); }, kWaitMs));
    EXPECT_EQ(Line()->text(), QString::fromUtf8("Журнал: 1 запись ждёт отправки на сервер"));
    EXPECT_TRUE(Line()->toolTip().startsWith(QString::fromUtf8("Последняя попытка не удалась: ")))
        << Line()->toolTip().toStdString();

    // The next operations do not try again within the minute; they wait.
    form->GetSerialButtonClick();
    ASSERT_TRUE(k57::test::Settle(form->Device()));
    form->GetVersionButtonClick();
    ASSERT_TRUE(k57::test::Settle(form->Device()));
    ASSERT_TRUE(WaitQueued(3));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return Line()->text() == QString::fromUtf8("Журнал: 3 записи ждут отправки на сервер");
        },
        kWaitMs))
        << Line()->text().toStdString();

    THistoryForm history(form->guardedChange(), dialogs, form->parameterList(), form.get(),
                         &Sharing());
    TSharingBar* bar = history.sharingBar();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return bar->stateText().contains(QString::fromUtf8("Ждут отправки: 3 записи")); },
        kWaitMs))
        << bar->stateText().toStdString();
    EXPECT_TRUE(bar->stateText().contains(QString::fromUtf8("Последняя попытка не удалась")));
    std::string password = server.uri().substr(0, server.uri().find('@'));
    password = password.substr(password.rfind(':') + 1);
    EXPECT_FALSE(bar->stateText().contains(QString::fromStdString(password)));

    // Back: an asked-for sync goes at once, and the line goes away.
    ASSERT_EQ(server.Start(), "");
    QTest::mouseClick(history.findChild<QPushButton*>("SyncButton"), Qt::LeftButton);
    ASSERT_TRUE(WaitQueued(0)) << Sharing().state().lastProblem;
    EXPECT_EQ(ServerEntries(server.uri()), 3);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Line()->isVisible(); }, kWaitMs));
    EXPECT_TRUE(bar->stateText().contains(QString::fromUtf8("Все записи отправлены")))
        << bar->stateText().toStdString();
}

TEST_F(SharedJournalWindowTest, ClosingDoesNotWaitOnAServerThatNeverAnswers) {
    k57::test::SilentPort silent;
    ASSERT_NE(silent.port(), 0);
    qputenv("K57_JOURNAL_SERVER", QByteArray("postgresql://bench@127.0.0.1:") +
                                      QByteArray::number(silent.port()) + "/k57");
    Open();
    form->guardedChange().record().Record(JournalOperation::Identify, "COM5",
                                          k57::JournalResult::NoReply);
    // Tries asked for pile up behind the one under way.
    for (int i = 0; i < 5; ++i) {
        Sharing().SyncNow();
    }
    ASSERT_TRUE(Sharing().busy());
    form->close();
    QElapsedTimer closing;
    closing.start();
    form.reset();
    qint64 took = closing.elapsed();
    qunsetenv("K57_JOURNAL_SERVER");
    EXPECT_LT(took, 5000);

    // Nothing is lost: the entry waits for the next run.
    k57::Journal journal;
    EXPECT_EQ(journal.QueuedCount(), 1);
}

// A server that took the connection and then never finishes a statement:
// here another session holds the lock every push waits for.
TEST_F(SharedJournalWindowTest, ClosingDoesNotWaitOnAPushTheServerNeverFinishes) {
    k57::test::PgTestDatabase db;
    if (!db.available()) {
        GTEST_SKIP() << db.skipReason();
    }
    ASSERT_EQ(Share(db.uri()), "");
    k57::PgConnection holder;
    ASSERT_TRUE(holder.Connect(db.uri(), 10000)) << holder.error();
    ASSERT_TRUE(holder.Run("BEGIN") && holder.Run("SELECT pg_advisory_xact_lock(57001)"))
        << holder.error();

    Open();
    form->guardedChange().record().Record(JournalOperation::Identify, "COM5",
                                          k57::JournalResult::NoReply);
    Sharing().SyncNow();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return db.Row(
                       "SELECT count(*) FROM pg_stat_activity WHERE wait_event_type = 'Lock' "
                       "AND application_name = 'k57tool'") == std::vector<std::string>{"1"};
        },
        kWaitMs));
    form->close();
    QElapsedTimer closing;
    closing.start();
    form.reset();
    EXPECT_LT(closing.elapsed(), 5000);

    // Let go: the push left behind goes through after all, unless it gave
    // up waiting first; then its entry waits for the next run. Never lost.
    ASSERT_TRUE(holder.Run("COMMIT"));
    bool pushed = QTest::qWaitFor([&] { return ServerEntries(db.uri()) == 1; }, 10000);
    k57::Journal journal;
    EXPECT_TRUE(pushed || journal.QueuedCount() == 1);
}

TEST_F(SharedJournalWindowTest, TheServerIsSetAndClearedFromTheJournalWindow) {
    k57::test::PgTestDatabase db;
    if (!db.available()) {
        GTEST_SKIP() << db.skipReason();
    }
    ASSERT_EQ(InitServer(db.uri()), "");
    Open();
    THistoryForm history(form->guardedChange(), dialogs, form->parameterList(), form.get(),
                         &Sharing());
    TSharingBar* bar = history.sharingBar();
    auto* edit = history.findChild<QLineEdit*>("ServerEdit");
    auto* connect = history.findChild<QPushButton*>("ConnectButton");
    auto* sync = history.findChild<QPushButton*>("SyncButton");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return bar->stateText() == QString::fromUtf8("Сервер журнала: нет, только этот ПК");
        },
        kWaitMs))
        << bar->stateText().toStdString();
    EXPECT_FALSE(sync->isEnabled());

    // An address that cannot be read is refused and kept for mending.
    QTest::keyClicks(edit, "nonsense");
    QTest::mouseClick(connect, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs.boxes.size() == 1; }, kWaitMs));
    EXPECT_TRUE(dialogs.boxes[0].text.startsWith(QString::fromUtf8("Адрес сервера не читается: ")))
        << dialogs.boxes[0].text.toStdString();
    EXPECT_EQ(edit->text(), "nonsense");
    EXPECT_EQ(k57::ConfiguredServer(), "");

    // The real one: stored, tried, said, and no longer on the screen.
    edit->setText(QString::fromStdString(db.uri()));
    QTest::mouseClick(connect, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs.boxes.size() == 2; }, kWaitMs));
    std::string error;
    QString shown = QString::fromStdString(k57::ShownServer(db.uri(), error));
    EXPECT_EQ(dialogs.boxes[1].text,
              QString::fromUtf8("Сервер журнала %1 задан и отвечает.").arg(shown));
    EXPECT_EQ(k57::ConfiguredServer(), db.uri());
    EXPECT_EQ(edit->text(), "");
    ASSERT_TRUE(QTest::qWaitFor([&] { return sync->isEnabled(); }, kWaitMs));
    EXPECT_TRUE(bar->stateText().startsWith(QString::fromUtf8("Сервер журнала: ") + shown))
        << bar->stateText().toStdString();
    // Enter in the emptied line clears nothing.
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(k57::ConfiguredServer(), db.uri());

    // The environment's server is the one used: the box says so.
    qputenv("K57_JOURNAL_SERVER", QByteArray::fromStdString(db.uri()));
    edit->setText(QString::fromStdString(db.uri()));
    QTest::mouseClick(connect, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs.boxes.size() == 3; }, kWaitMs));
    EXPECT_TRUE(dialogs.boxes[2].text.contains("K57_JOURNAL_SERVER"));
    qunsetenv("K57_JOURNAL_SERVER");

    // Cleared: this PC's alone again.
    edit->clear();
    QTest::mouseClick(connect, Qt::LeftButton);
    ASSERT_EQ(dialogs.boxes.size(), 4u);
    EXPECT_EQ(dialogs.boxes[3].text,
              QString::fromUtf8("Сервер журнала не задан: журнал только этого ПК."));
    EXPECT_EQ(k57::ConfiguredServer(), "");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return bar->stateText() == QString::fromUtf8("Сервер журнала: нет, только этот ПК");
        },
        kWaitMs));
}

}  // namespace
