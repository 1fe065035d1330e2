// k57ctl as a newcomer meets it: no stored port, slips on the command line,
// files and ports that are not there, Ctrl+C, and which output says what.

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QFile>
#include <QProcess>

#include "CtlProcess.h"
#include "Messages.h"
#include "SimulatedUnits.h"

namespace {

class FirstRunCtlTest : public k57::test::SimulatedUnits {
  protected:
    k57::test::CtlRun Ctl(const QStringList& args) { return k57::test::RunCtl(args, settings_); }
    QString File(const char* name) const {
        return QString::fromStdString(dir_.path()) + "/" + name;
    }

    k57::test::TempDir dir_;
};

// Nothing stored yet: k57ctl talks to COM5, where the window looks first.
TEST_F(FirstRunCtlTest, WithNoStoredPortTheUnitOnComFiveAnswers) {
    ASSERT_EQ(k57::StoredPort::Read(), "");
    Plug(5);
    k57::test::CtlRun info = Ctl({"info"});
    EXPECT_EQ(info.code, 0) << info.err.toStdString();
    EXPECT_TRUE(info.out.startsWith("port: COM5\n")) << info.out.toStdString();
}

TEST_F(FirstRunCtlTest, ADurationThatEndsAtOnceIsAUsageError) {
    k57::sim::Unit& unit = Plug(5);
    for (const QStringList& args : {QStringList{"can", "--duration", "0"},
                                    QStringList{"can", "--duration", "-2"},
                                    QStringList{"diag", "--duration", "0"}}) {
        k57::test::CtlRun run = Ctl(args);
        EXPECT_EQ(run.code, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("--duration: takes a number of seconds above 0\n"))
            << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 2) << run.err.toStdString();  // the line, and --help
    }
    EXPECT_TRUE(unit.requests().empty());
}

// Ctrl+C while a plain request waits for its reply: 130, as during an update.
TEST_F(FirstRunCtlTest, CtrlCWhileAReplyIsAwaitedExitsOneHundredThirty) {
    k57::sim::UnitOptions silent;
    silent.fault = k57::sim::UnitOptions::Fault::Silent;
    k57::sim::Unit& unit = Plug(5, silent);
    for (const QStringList& args : {QStringList{"info"}, QStringList{"restart"}}) {
        int before = int(unit.requests().size());
        QProcess ctl;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", QString::fromStdString(settings_.directory()));
        ctl.setProcessEnvironment(env);
        ctl.start(K57CTL_PATH, args);
        ASSERT_TRUE(
            k57::test::WaitUntil([&] { return int(unit.requests().size()) > before; }, 20000));
        ::kill(pid_t(ctl.processId()), SIGINT);
        ASSERT_TRUE(ctl.waitForFinished(20000));
        EXPECT_EQ(ctl.exitCode(), 130) << args.join(' ').toStdString();
        QString err = QString::fromUtf8(ctl.readAllStandardError());
        EXPECT_TRUE(err.contains("COM5: interrupted")) << err.toStdString();
        EXPECT_FALSE(err.contains("no reply")) << err.toStdString();
    }
    EXPECT_EQ(k57::test::Count(unit.requests(), orvan::tms::messages::kRestart), 0);
}

// Progress is for the eye (stderr); what a script takes is on stdout.
TEST_F(FirstRunCtlTest, AnUpdatesProgressGoesToStandardError) {
    Plug(5);
    k57::test::CtlRun update = Ctl({"update", "firmware", "--yes"});
    ASSERT_EQ(update.code, 0) << update.err.toStdString();
    EXPECT_EQ(update.out, "");
    EXPECT_TRUE(update.err.contains("firmware 000.009: 50 %\n")) << update.err.toStdString();
}

// Why a file was not read, in the program's words (asked in Russian here:
// those are the words as written, whatever the English translation holds).
TEST_F(FirstRunCtlTest, AFileThatCannotBeReadIsToldWhy) {
    Plug(5);
    k57::test::CtlRun image =
        Ctl({"--lang", "ru", "update", "firmware", "--yes", "--image", File("nosuch.bin")});
    EXPECT_EQ(image.code, 1);
    EXPECT_EQ(image.err.toStdString(),
              "k57ctl: no firmware image: " + File("nosuch.bin").toStdString() +
                  ": нет такого файла\n");

    k57::test::CtlRun missing = Ctl({"--lang", "ru", "dbc", "check", File("nosuch.dbc")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.err.toStdString(),
              File("nosuch.dbc").toStdString() + ": cannot be read: нет такого файла\n");
    k57::test::CtlRun folder = Ctl({"dbc", "check", File("")});
    EXPECT_TRUE(folder.err.endsWith(": cannot be read: not a regular file\n"))
        << folder.err.toStdString();
    if (::geteuid() != 0) {  // root reads a file whatever its mode
        QFile locked(File("locked.dbc"));
        ASSERT_TRUE(locked.open(QIODevice::WriteOnly));
        locked.setPermissions(QFileDevice::WriteOwner);
        k57::test::CtlRun denied = Ctl({"--lang", "ru", "dbc", "check", File("locked.dbc")});
        EXPECT_EQ(denied.err.toStdString(), File("locked.dbc").toStdString() +
                                                ": cannot be read: нет прав на чтение файла\n");
    }
}

// A device path that is not a serial port: one line, from k57ctl alone.
TEST_F(FirstRunCtlTest, APortThatIsNoSerialPortIsToldInOneLine) {
    QFile plain(File("plain.txt"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.write("not a port\n");
    plain.close();
    for (const QString& path : {QString("/dev/null"), File("plain.txt")}) {
        k57::test::CtlRun run = Ctl({"--port", path, "info"});
        EXPECT_EQ(run.code, 2);
        EXPECT_EQ(run.err.toStdString(), ("k57ctl: " + path + ": cannot open the port (" + path +
                                          ": not a serial port)\n")
                                             .toStdString());
        EXPECT_EQ(run.out, "");
    }
}

}  // namespace
