// k57ctl on a line that still carries the rest of an earlier exchange: a
// reply cut off by its time-out, or one a stopped k57ctl never read. Its
// request gets its own reply, the backup holds what the unit held, and a
// write that took effect is reported as done.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>

#include "CtlProcess.h"
#include "Journal.h"
#include "Messages.h"
#include "SimulatedUnits.h"
#include "T110_Device.h"

using namespace orvan::tms::messages;
using k57::JournalEntry;
using k57::JournalOperation;
using k57::JournalResult;

namespace {

using k57::test::Count;

// Three bytes every 200 ms: the settings reply takes 1.2 s.
class LineLeftoversCtlTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override {
        k57::StoredPort::Write("COM5");
        k57::sim::UnitOptions options;
        options.dribbleBytes = 3;
        options.dribblePauseMs = 200;
        options.settings = "MicLevel=10\n";
        unit = &Plug(5, options);
    }

    k57::test::CtlRun Ctl(const QStringList& args) { return k57::test::RunCtl(args, settings_); }

    QString SettingsFile(const QByteArray& text) {
        QString path = QString::fromStdString(dir_.path()) + "/s.txt";
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return path;
    }

    k57::sim::Unit* unit = nullptr;
    k57::test::TempDir dir_;
};

TEST_F(LineLeftoversCtlTest, AWriteAfterAReadCutOffByItsTimeOutIsBackedUpAndDone) {
    {
        T110_Device earlier;
        earlier.setReplyTimeout(500);
        std::string text;
        ASSERT_EQ(earlier.ReadSettings(text), k57::kNoReply);  // the rest is still coming
    }
    k57::test::CtlRun write = Ctl({"settings", "write", SettingsFile("MicLevel=3\r\n")});
    EXPECT_EQ(write.code, 0) << write.err.toStdString();
    EXPECT_EQ(unit->settings(), "MicLevel=3\n");

    k57::Journal journal;
    std::optional<JournalEntry> backup = journal.LatestBackup(12345678);
    ASSERT_TRUE(backup);
    EXPECT_EQ(backup->result, JournalResult::Ok);
    EXPECT_EQ(backup->before, std::string("MicLevel=10\n"));
    std::vector<JournalEntry> entries = journal.Timeline(12345678);
    ASSERT_FALSE(entries.empty());
    ASSERT_EQ(entries.back().operation, JournalOperation::WriteSettings);
    EXPECT_EQ(entries.back().result, JournalResult::Ok);
    EXPECT_EQ(entries.back().before, std::string("MicLevel=10\n"));
    EXPECT_EQ(entries.back().after, std::string("MicLevel=3\n"));
}

TEST_F(LineLeftoversCtlTest, AReadAfterAK57ctlKilledMidReplyGetsItsOwnReply) {
    QProcess killed;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(settings_.directory()));
    killed.setProcessEnvironment(env);
    killed.start(K57CTL_PATH, {"settings", "read"});
    ASSERT_TRUE(killed.waitForStarted());
    ASSERT_TRUE(k57::test::WaitUntil(
        [&] { return Count(unit->requests(), kReqSettings) > 0; }, 20000));
    killed.kill();  // the reply has begun and goes on
    killed.waitForFinished();

    k57::test::CtlRun read = Ctl({"settings", "read"});
    EXPECT_EQ(read.code, 0) << read.err.toStdString();
    EXPECT_EQ(read.out, "MicLevel=10\n");
    EXPECT_EQ(Count(unit->requests(), kReqSettings), 2);
}

}  // namespace
