// k57ctl as a program against the simulated unit on a pseudo-terminal: its
// output, its files, what reached the unit, and its exit codes.

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <thread>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QJsonDocument>
#include <QJsonObject>

#include "CtlProcess.h"
#include "EmbeddedImages.h"
#include "Messages.h"
#include "ParameterList.h"
#include "SimulatedUnits.h"

using namespace orvan::tms::messages;
using Fault = k57::sim::UnitOptions::Fault;

namespace {

using k57::test::Count;

class CtlTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override { k57::StoredPort::Write("COM5"); }

    k57::test::CtlRun Ctl(const QStringList& args, const QByteArray& input = {}) {
        return k57::test::RunCtl(args, settings_, input);
    }
    QString File(const char* name) const {
        return QString::fromStdString(dir_.path()) + "/" + name;
    }
    void WriteFile(const char* name, const QByteArray& bytes) const {
        QFile file(File(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static QByteArray Bytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }

    k57::test::TempDir dir_;
};

TEST_F(CtlTest, FindStoresThePortAndInfoDescribesTheUnit) {
    k57::sim::UnitOptions options;
    options.serial = 4000000001u;
    Plug(7, options);
    k57::test::CtlRun found = Ctl({"find"});
    EXPECT_EQ(found.code, 0) << found.err.toStdString();
    EXPECT_TRUE(found.out.startsWith("port: COM7\nserial: 4000000001\ntype: K57BT\n"));
    EXPECT_EQ(k57::StoredPort::Read(), "COM7");

    k57::test::CtlRun info = Ctl({"info", "--json"});  // options after the command too
    ASSERT_EQ(info.code, 0);
    QJsonObject json = QJsonDocument::fromJson(info.out.toUtf8()).object();
    EXPECT_EQ(json["port"].toString(), "COM7");
    EXPECT_EQ(json["serial"].toInteger(), 4000000001);
    EXPECT_EQ(json["version"].toString(), "000.008");
    EXPECT_EQ(json["build"].toString(), "May 12 2017 09:30:00");
}

TEST_F(CtlTest, SettingsMakeTheRoundTripByteForByte) {
    k57::sim::UnitOptions options;
    options.settings = "MicLevel=10\nNameBT=\xCB\xE0\xE4\xE0\nNoteKick=5\n";
    k57::sim::Unit& unit = Plug(5, options);
    k57::test::CtlRun read = Ctl({"settings", "read"});
    EXPECT_EQ(read.out, "NameBT=Лада\nMicLevel=10\nNoteKick=5\n");

    ASSERT_EQ(Ctl({"settings", "read", "-o", File("a.txt")}).code, 0);
    EXPECT_EQ(Bytes(File("a.txt")), "NameBT=\xCB\xE0\xE4\xE0\r\nMicLevel=10\r\nNoteKick=5\r\n");
    unit.configure([](auto& o) { o.settings.clear(); });
    k57::test::CtlRun write = Ctl({"settings", "write", File("a.txt")});
    ASSERT_EQ(write.code, 0) << write.err.toStdString();
    EXPECT_EQ(unit.settings(), "NameBT=\xCB\xE0\xE4\xE0\nMicLevel=10\nNoteKick=5\n");
    ASSERT_EQ(Ctl({"settings", "read", "-o", File("b.txt")}).code, 0);
    EXPECT_EQ(Bytes(File("b.txt")), Bytes(File("a.txt")));

    EXPECT_EQ(Ctl({"settings", "read", "--all"}).out.count('\n'), 28);
}

TEST_F(CtlTest, InvalidSettingsAreListedAndLeaveTheUnitAlone) {
    k57::sim::UnitOptions options;
    options.settings = "MicLevel=10\n";
    k57::sim::Unit& unit = Plug(5, options);
    k57::test::CtlRun set = Ctl({"settings", "set", "MicLevel=99", "NoteKick=2"});
    EXPECT_EQ(set.code, 1);
    EXPECT_TRUE(set.err.contains("MicLevel: \"99\" is above the maximum 14"))
        << set.err.toStdString();

    WriteFile("bad.txt", "MicLevel=12\r\nPinCod=12\r\nColour=red\r\n");
    k57::test::CtlRun write = Ctl({"settings", "write", File("bad.txt")});
    EXPECT_EQ(write.code, 1);
    EXPECT_TRUE(write.err.contains("bad.txt:2: PinCod: shorter than 4 bytes"));
    EXPECT_TRUE(write.err.contains("bad.txt:3: Colour: no such parameter"));
    EXPECT_EQ(Ctl({"settings", "write", "--dry-run", File("bad.txt")}).code, 1);

    // In Russian, as the window words them, with what is allowed.
    k57::test::CtlRun russian =
        Ctl({"--lang", "ru", "settings", "write", "--dry-run", File("bad.txt")});
    EXPECT_EQ(russian.code, 1);
    EXPECT_TRUE(russian.err.contains("bad.txt:2: PinCod: Маленькая длинна текста (допустимая длина "))
        << russian.err.toStdString();
    EXPECT_TRUE(russian.err.contains("bad.txt:3: Colour: нет такого параметра"));
    EXPECT_TRUE(Ctl({"--lang", "ru", "settings", "set", "MicLevel=99"})
                    .err.contains("MicLevel: 99 - многовато будет. (допустимо от 1 до 14)"));
    EXPECT_EQ(Ctl({"--lang", "de", "settings", "set", "MicLevel=9"}).code, 1);

    EXPECT_EQ(unit.settings(), "MicLevel=10\n");
    EXPECT_EQ(Count(unit.requests(), kSettings), 0);
    EXPECT_EQ(Ctl({"settings", "set", "NoteKick=2"}).code, 0);
    EXPECT_EQ(unit.settings(), "MicLevel=10\nNoteKick=2\n");
}

TEST_F(CtlTest, OnlyAnEnumerationsChoicesAndTheUnitsCodePageAreSent) {
    k57::sim::UnitOptions options;
    options.settings = "CanMode=2\n";
    k57::sim::Unit& unit = Plug(5, options);
    for (const char* assignment : {"CanMode=abc", "CanMode=9", "NameBT=Lädä"}) {
        k57::test::CtlRun set = Ctl({"settings", "set", "NoteKick=2", assignment});
        EXPECT_EQ(set.code, 1) << assignment;
        QString key = QString(assignment).section('=', 0, 0);
        EXPECT_TRUE(set.err.startsWith(key + ": ")) << set.err.toStdString();
    }
    WriteFile("enum.txt", "NoteKick=2\r\nCanMode=9\r\n");
    k57::test::CtlRun write = Ctl({"settings", "write", File("enum.txt")});
    EXPECT_EQ(write.code, 1);
    EXPECT_TRUE(write.err.contains("enum.txt:2: CanMode: \"9\" is not one of the choices 0, 1, 2"))
        << write.err.toStdString();

    EXPECT_EQ(Count(unit.requests(), kSettings), 0);
    EXPECT_EQ(Ctl({"settings", "read"}).out, "CanMode=2\n");
}

TEST_F(CtlTest, AFirmwareUpdateDeliversTheEmbeddedImage) {
    k57::sim::Unit& unit = Plug(5);
    // No terminal to ask on and no --yes: refused before anything is sent.
    EXPECT_EQ(Ctl({"update", "firmware"}).code, 1);
    EXPECT_EQ(Count(unit.requests(), kBeginFirmwareUpdate), 0);

    k57::test::CtlRun update = Ctl({"update", "firmware", "--yes"});
    ASSERT_EQ(update.code, 0) << update.err.toStdString();
    EXPECT_TRUE(update.err.contains("firmware 000.009: 0 %\nfirmware 000.009: 10 %\n"));
    EXPECT_EQ(unit.image(), k57::images::LoadFirmware().buffer);
    ASSERT_EQ(unit.commits().size(), 1u);
    EXPECT_TRUE(unit.commits()[0].accepted);

    // A unit with the same version is updated only with --force.
    unit.configure([](auto& o) { o.versionText = "K57BT\n000.009\n"; });
    EXPECT_EQ(Ctl({"update", "firmware", "--yes"}).code, 1);
    EXPECT_EQ(Count(unit.requests(), kBeginFirmwareUpdate), 1);
    EXPECT_EQ(Ctl({"update", "firmware", "--yes", "--force", "--quiet"}).code, 0);
    EXPECT_EQ(unit.commits().size(), 2u);
}

TEST_F(CtlTest, ARefusedCommitExitsFive) {
    k57::sim::UnitOptions options;
    options.refuseCommits = true;
    Plug(5, options);
    k57::test::CtlRun update = Ctl({"update", "firmware", "--yes"});
    EXPECT_EQ(update.code, 5);
    EXPECT_TRUE(update.err.contains("did not acknowledge the commit"));
}

TEST_F(CtlTest, AHangUpMidwayExitsThreeWithoutCommit) {
    k57::sim::UnitOptions options;
    options.hangUpAfterFragments = 5;
    k57::sim::Unit& unit = Plug(5, options);
    k57::test::CtlRun update = Ctl({"update", "sound", "--yes"});
    EXPECT_EQ(update.code, 3);
    EXPECT_TRUE(update.err.contains("COM5: no reply within 4 s")) << update.err.toStdString();
    EXPECT_TRUE(unit.commits().empty());
}

TEST_F(CtlTest, BadUsageAndAWrongReplyHaveTheirCodes) {
    k57::sim::UnitOptions options;
    options.fault = Fault::WrongType;
    Plug(5, options);
    EXPECT_EQ(Ctl({"frobnicate"}).code, 1);
    EXPECT_EQ(Ctl({"settings"}).code, 1);
    EXPECT_EQ(Ctl({"can", "--bitrate", "300"}).code, 1);
    k57::test::CtlRun wrong = Ctl({"info"});
    EXPECT_EQ(wrong.code, 4);
    EXPECT_TRUE(wrong.err.contains("COM5: a reply of type 150 instead of 11"));
    EXPECT_EQ(Ctl({"--port", "COM9", "info"}).code, 2);
    k57::test::CtlRun help = Ctl({"update", "firmware", "--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.contains("--force"));
}

// The CAN lines feed python-can's candump log reader, frame for frame.
TEST_F(CtlTest, CanFramesReadBackInPythonCan) {
    k57::sim::UnitOptions options;
    options.canLog = K57_TEST_DATA "/standard.log";
    Plug(5, options);
    k57::test::CtlRun can = Ctl({"can", "--count", "100"});
    ASSERT_EQ(can.code, 0) << can.err.toStdString();
    QFile log(File("can.log"));
    ASSERT_TRUE(log.open(QIODevice::WriteOnly));
    log.write(can.out.toUtf8());
    log.close();

    QProcess python;
    python.start("/usr/bin/python3",
                 {"-c",  // the system Python, with python3-can
                  "import sys, can\n"
                  "for m in can.CanutilsLogReader(sys.argv[1]):\n"
                  "    print('%03X#%s' % (m.arbitration_id, m.data.hex().upper()))\n",
                  File("can.log")});
    ASSERT_TRUE(python.waitForFinished(30000));
    ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    QStringList got =
        QString::fromUtf8(python.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(got.size(), 100);

    // The capture's frames, in the order the unit replays them, over and over.
    QStringList sent;
    QFile capture(K57_TEST_DATA "/standard.log");
    ASSERT_TRUE(capture.open(QIODevice::ReadOnly));
    for (const QByteArray& line : capture.readAll().split('\n')) {
        if (!line.isEmpty()) {
            sent << QString::fromLatin1(line.split(' ').last());
        }
    }
    bool matched = false;
    for (int start = 0; start < sent.size() && !matched; ++start) {
        matched = true;
        for (int i = 0; i < got.size() && matched; ++i) {
            matched = got[i] == sent[(start + i) % sent.size()];
        }
    }
    EXPECT_TRUE(matched) << got.join(' ').toStdString();
}

// With a signal database the frames it knows come out decoded, live; the
// others stay candump lines.
TEST_F(CtlTest, CanWithADbcFilePrintsKnownFramesDecoded) {
    QFile log(File("torque.log"));
    ASSERT_TRUE(log.open(QIODevice::WriteOnly));
    log.write("(1700000000.000000) can0 108#0000006000006400\n"
              "(1700000000.010000) can0 123#0102\n");
    log.close();
    k57::sim::UnitOptions options;
    options.canLog = File("torque.log").toStdString();
    Plug(5, options);
    k57::test::CtlRun can =
        Ctl({"can", "--dbc", K57_DBC_DATA "/tesla_can.dbc", "--count", "4"});
    ASSERT_EQ(can.code, 0) << can.err.toStdString();
    QStringList lines = can.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    int decoded = 0;
    for (const QString& line : lines) {
        if (line.contains(" 108 DI_torque1: ")) {
            ++decoded;
            EXPECT_TRUE(line.contains("DI_pedalPos=40 %")) << line.toStdString();
            EXPECT_TRUE(line.contains("DI_soptState=3 \"SOPT_TEST_PASSED\"")) << line.toStdString();
        } else {
            EXPECT_TRUE(line.endsWith(" k57 123#0102")) << line.toStdString();
        }
    }
    EXPECT_EQ(decoded, 2);

    k57::test::CtlRun missing = Ctl({"can", "--dbc", File("none.dbc"), "--count", "1"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(missing.err.contains("none.dbc")) << missing.err.toStdString();
}

// Extended identifiers keep their width and remote frames stay requests,
// as the CAN monitor saves them.
TEST_F(CtlTest, CanPrintsExtendedAndRemoteFramesAsCandumpDoes) {
    k57::sim::UnitOptions options;
    options.canLog = K57_TEST_DATA "/mixed.log";
    Plug(5, options);
    // More frames than the capture holds: every kind is among them.
    k57::test::CtlRun can = Ctl({"can", "--count", "40"});
    ASSERT_EQ(can.code, 0) << can.err.toStdString();
    QStringList frames;
    for (const QString& line : can.out.split('\n', Qt::SkipEmptyParts)) {
        frames << line.section(' ', 2);
    }
    ASSERT_EQ(frames.size(), 40);
    for (const char* frame : {"7DF#R", "18DB33F1#R8", "00000321#08AA", "18DAF110#010203"}) {
        EXPECT_TRUE(frames.contains(frame))
            << frame << " not in " << frames.join(' ').toStdString();
    }
    for (const QString& frame : frames) {
        EXPECT_FALSE(frame == "321#08AA" || frame.startsWith("7DF#0")) << frame.toStdString();
    }
}

}  // namespace

namespace {

TEST_F(CtlTest, AWordThatNamesNoCommandIsNamed) {
    k57::test::CtlRun run = Ctl({"--port", "COM5", "bogus"});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.startsWith("k57ctl: no command \"bogus\"; the commands are find, info,"))
        << run.err.toStdString();
    // A command a user may guess names the one that does it.
    run = Ctl({"settings", "save", "x.txt"});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err,
              "k57ctl: no command \"settings save\"; use `settings read -o FILE` to save the "
              "unit's settings to a file (--help)\n");
    run = Ctl({"settings", "load"});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.startsWith("k57ctl: no command \"settings load\"; the commands are read, "
                                   "write,"))
        << run.err.toStdString();
}

}  // namespace

namespace {

// On a terminal the bar counts bytes at an honest rate, and the closing
// line starts a line of its own.
TEST_F(CtlTest, OnATerminalTheBarShowsBytesAndEndsBeforeTheVerdict) {
    if (!QFile::exists("/usr/bin/script")) {
        GTEST_SKIP() << "script(1) is needed to give k57ctl a terminal";
    }
    k57::sim::UnitOptions paced;
    paced.byteRate = 200000;
    Plug(5, paced);
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(settings_.directory()));
    process.setProcessEnvironment(env);
    process.start("/usr/bin/script",
                  {"-qec", QString(K57CTL_PATH) + " update firmware --yes", "/dev/null"});
    ASSERT_TRUE(process.waitForFinished(60000));
    QString screen = QString::fromUtf8(process.readAllStandardOutput()).replace("\r\n", "\n");
    EXPECT_EQ(process.exitCode(), 0) << screen.toStdString();
    QStringList lines = screen.split('\n');
    QString last = lines.filter("done, the unit acknowledged").value(0);
    EXPECT_TRUE(last.startsWith("firmware 000.009: done")) << screen.toStdString();
    EXPECT_TRUE(last.contains("94152 bytes in 92 fragments")) << last.toStdString();
    QString bar = lines.filter("100 %").value(0);
    EXPECT_TRUE(bar.contains("91.9 KB of 91.9 KB")) << bar.toStdString();
    QRegularExpression rate(R"(([0-9]+\.[0-9]) KB/s)");
    QRegularExpressionMatch match = rate.match(bar);
    ASSERT_TRUE(match.hasMatch()) << bar.toStdString();
    EXPECT_GT(match.captured(1).toDouble(), 10.0);  // bytes, not fragments, a second
}

}  // namespace

namespace {

// Ctrl+C in the middle of an update: the fragment on its way is let finish,
// so the next command does not take its late acknowledgement for a reply.
TEST_F(CtlTest, AfterCtrlCTheNextCommandFindsTheUnitReady) {
    k57::sim::UnitOptions paced;
    paced.byteRate = 8000;  // a fragment takes about 130 ms to arrive
    k57::sim::Unit& unit = Plug(5, paced);
    for (int round = 0; round < 3; ++round) {
        QProcess update;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", QString::fromStdString(settings_.directory()));
        update.setProcessEnvironment(env);
        update.start(K57CTL_PATH, {"update", "firmware", "--yes", "--force"});
        int before = Count(unit.requests(), kDataFragment);
        ASSERT_TRUE(k57::test::WaitUntil(
            [&] { return Count(unit.requests(), kDataFragment) >= before + 2; }, 10000));
        // Now, while the next fragment is on its way.
        std::this_thread::sleep_for(std::chrono::milliseconds(40 + 30 * round));
        ::kill(pid_t(update.processId()), SIGINT);
        ASSERT_TRUE(update.waitForFinished(10000));
        EXPECT_EQ(update.exitCode(), 130);
        EXPECT_TRUE(QString::fromUtf8(update.readAllStandardError()).contains("interrupted after"));

        k57::test::CtlRun info = Ctl({"info"});
        EXPECT_EQ(info.code, 0) << info.err.toStdString();
    }
    EXPECT_TRUE(unit.commits().empty());
}

}  // namespace

namespace {

TEST_F(CtlTest, SettingsAllAtTheirDefaultsSaySo) {
    Plug(5);
    k57::test::CtlRun read = Ctl({"settings", "read"});
    EXPECT_EQ(read.code, 0);
    EXPECT_EQ(read.out, "");
    EXPECT_TRUE(read.err.contains("every setting is at its default; --all prints them"))
        << read.err.toStdString();
}

}  // namespace
