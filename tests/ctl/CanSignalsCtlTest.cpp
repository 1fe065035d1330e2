// k57ctl can signals as a script runs it: a capture in, the proposed
// signals out as text or JSON, and the skeleton DBC that both this
// program's reader and canmatrix take.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <algorithm>

#include "CtlProcess.h"

namespace {

class CanSignalsCtlTest : public ::testing::Test {
  protected:
    // 18FEF100 every 10 ms: a little-endian 12-bit value in bits 4-15
    // sweeping up and down, byte 2 always 77, a checksum as byte 7.
    QString Capture() {
        QString path = QString::fromStdString(dir_.path()) + "/sweep.log";
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        uint32_t random = 5;
        for (int i = 0; i < 1200; ++i) {
            random = random * 1664525u + 1013904223u;
            int value = (i % 800 < 400 ? i % 800 : 800 - i % 800) * 4095 / 400;
            value = std::clamp(value + int(random >> 8) % 25 - 12, 0, 4095);  // a reading's noise
            file.write(QString::asprintf("(1700000%03d.%06d) can0 18FEF100#%02X%02X7700000000%02X\n",
                                         i / 100, i % 100 * 10'000, (value & 0x0F) << 4,
                                         value >> 4, random >> 24)
                           .toLatin1());
        }
        return path;
    }
    QString Path(const char* name) const { return QString::fromStdString(dir_.path()) + "/" + name; }
    k57::test::CtlRun Ctl(const QStringList& args) { return k57::test::RunCtl(args, settings_); }

    k57::test::TempDir dir_;
    k57::test::IsolatedSettings settings_;
};

TEST_F(CanSignalsCtlTest, ProposesTheSignalsAsJsonAndAsText) {
    QString log = Capture();
    k57::test::CtlRun json = Ctl({"--json", "can", "signals", log});
    ASSERT_EQ(json.code, 0) << json.err.toStdString();
    QJsonArray array = QJsonDocument::fromJson(json.out.toUtf8()).array();
    auto has = [&](int start, int length, const char* kind) {
        for (const QJsonValue& v : array) {
            QJsonObject o = v.toObject();
            if (o["id"] == "18FEF100" && o["extended"] == true && o["start"] == start &&
                o["length"] == length && o["byte_order"] == "little" && o["signed"] == false &&
                o["kind"] == kind) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(has(4, 12, "value")) << json.out.toStdString();
    EXPECT_TRUE(has(56, 8, "checksum")) << json.out.toStdString();
    EXPECT_TRUE(has(16, 8, "constant")) << json.out.toStdString();

    k57::test::CtlRun text = Ctl({"can", "signals", log, "--filter", "+18FEF100"});
    ASSERT_EQ(text.code, 0) << text.err.toStdString();
    EXPECT_TRUE(text.out.contains(QRegularExpression("18FEF100 +4 +12 +little +unsigned +value\n")))
        << text.out.toStdString();
    k57::test::CtlRun none = Ctl({"--json", "can", "signals", log, "--filter", "+123"});
    EXPECT_EQ(none.code, 0);
    EXPECT_TRUE(QJsonDocument::fromJson(none.out.toUtf8()).array().isEmpty());
}

TEST_F(CanSignalsCtlTest, TheSkeletonDbcLoadsCleanHereAndInCanmatrix) {
    QString dbc = Path("skeleton.dbc");
    k57::test::CtlRun run = Ctl({"can", "signals", Capture(), "--dbc-out", dbc});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("skeleton DBC written to")) << run.err.toStdString();
    int signalCount = int(run.out.count('\n')) - 1;  // past the heading

    k57::test::CtlRun check = Ctl({"--json", "dbc", "check", dbc});
    ASSERT_EQ(check.code, 0) << check.out.toStdString() << check.err.toStdString();
    QJsonObject summary = QJsonDocument::fromJson(check.out.toUtf8()).object();
    EXPECT_EQ(summary["messages"].toInt(), 1) << check.out.toStdString();
    EXPECT_EQ(summary["signals"].toInt(), signalCount) << check.out.toStdString();

    QProcess python;
    python.start("/usr/bin/python3",
                 {"-c",
                  "import sys, logging, canmatrix.formats\n"
                  "logging.disable(logging.CRITICAL)\n"
                  "m = canmatrix.formats.loadp_flat(sys.argv[1])\n"
                  "f = m.frames[0]\n"
                  "s = f.signal_by_name('ID_18FEF100_S1')\n"
                  "print(len(m.frames), f.arbitration_id.id, f.arbitration_id.extended, f.size,\n"
                  "      len(f.signals), s.start_bit, s.size, s.is_little_endian, s.max)\n",
                  dbc});
    ASSERT_TRUE(python.waitForFinished(60000));
    if (python.exitCode() != 0 && python.readAllStandardError().contains("No module named")) {
        GTEST_SKIP() << "canmatrix is not installed";
    }
    ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    EXPECT_EQ(QString(python.readAllStandardOutput()).trimmed().toStdString(),
              QString("1 %1 True 8 %2 4 12 True 4095").arg(0x18FEF100).arg(signalCount).toStdString());
}

TEST_F(CanSignalsCtlTest, ASkeletonThatCannotBeWrittenExitsSixAndLeavesTheOldFile) {
    QString log = Capture();
    k57::test::CtlRun missing = Ctl({"can", "signals", log, "--dbc-out", Path("none/x.dbc")});
    EXPECT_EQ(missing.code, 6);
    EXPECT_TRUE(missing.err.contains("cannot write")) << missing.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(Path("none/x.dbc")));

    QString folder = Path("a folder.dbc");  // not a regular file: refused, left alone
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_EQ(Ctl({"can", "signals", log, "--dbc-out", folder}).code, 6);
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(Ctl({"can", "signals", Path("no.log")}).code, 1);
}

}  // namespace
