// k57ctl's dbc check and can decode as a script runs them: files in,
// exit codes, stdout and stderr.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "CtlProcess.h"

namespace {

class DbcCtlTest : public ::testing::Test {
  protected:
    QString Write(const char* name, const QByteArray& text) {
        QString path = QString::fromStdString(dir_.path()) + "/" + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return path;
    }
    k57::test::CtlRun Ctl(const QStringList& args) { return k57::test::RunCtl(args, settings_); }

    k57::test::TempDir dir_;
    k57::test::IsolatedSettings settings_;
};

const char* kDatabase =
    "BO_ 416 Engine: 8 ECU\n"
    " SG_ Speed : 0|16@1+ (0.01,0) [0|655.35] \"km/h\" GW\n"
    " SG_ Gear : 16|3@1+ (1,0) [0|7] \"\" GW\n"
    "BO_ 2566844672 Body: 2 ECU\n"
    " SG_ Temp : 7|8@0- (0.5,-10) [-74|53.5] \"\xB0" "C\" GW\n"
    "VAL_ 416 Gear 3 \"D\" ;\n";

TEST_F(DbcCtlTest, DecodesACandumpLogAsJsonLinesAndText) {
    QString dbc = Write("car.dbc", kDatabase);
    QString log = Write("car.log",
                        "(1436509052.249713) k57 1A0#E803030000000000\n"
                        "(1436509052.250000) k57 18FEF100#F0\n"  // shorter than Body, holds Temp
                        "(1436509052.260000) k57 123#00\n"       // not in the database
                        "(1436509052.270000) k57 1A0##1E803\n"   // CAN FD
                        "garbage\n");
    k57::test::CtlRun run = Ctl({"can", "decode", log, "--dbc", dbc, "--json"});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << run.out.toStdString();
    QJsonObject first = QJsonDocument::fromJson(lines[0].toUtf8()).object();
    EXPECT_EQ(first["id"].toString(), "1A0");
    EXPECT_EQ(first["message"].toString(), "Engine");
    EXPECT_DOUBLE_EQ(first["t"].toDouble(), 1436509052.249713);
    EXPECT_DOUBLE_EQ(first["signals"].toObject()["Speed"].toDouble(), 10.0);
    EXPECT_EQ(first["signals"].toObject()["Gear"].toInt(), 3);
    EXPECT_EQ(first["texts"].toObject()["Gear"].toString(), "D");
    QJsonObject second = QJsonDocument::fromJson(lines[1].toUtf8()).object();
    EXPECT_EQ(second["id"].toString(), "18FEF100");
    EXPECT_DOUBLE_EQ(second["signals"].toObject()["Temp"].toDouble(), -16 * 0.5 - 10);
    EXPECT_TRUE(run.err.contains(log + ":5: no \"(seconds.micros)\" stamp")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("1 CAN FD lines skipped, 1 malformed")) << run.err.toStdString();

    k57::test::CtlRun text = Ctl({"can", "decode", log, "--dbc", dbc, "--quiet"});
    ASSERT_EQ(text.code, 0);
    EXPECT_EQ(text.out,
              "(1436509052.249713) 1A0 Engine: Speed=10 km/h, Gear=3 \"D\"\n"
              "(1436509052.250000) 18FEF100 Body: Temp=-18 \u00B0C\n");
}

TEST_F(DbcCtlTest, CheckCountsWhatItReadAndNamesErrorsByLine) {
    QString good = Write("good.dbc", QByteArray(kDatabase) + "BA_ \"GenMsgCycleTime\" BO_ 416 10;\n");
    k57::test::CtlRun run = Ctl({"dbc", "check", good});
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(run.out,
              "messages: 2\nsignals: 3\nvalue tables: 1\nskipped BA_: 1\nerrors: 0\nwarnings: 0\n");

    QString bad = Write("bad.dbc", QByteArray(kDatabase) + " SG_ Late : 8|8@3+ (1,0) [0|0] \"\" GW\n");
    k57::test::CtlRun failed = Ctl({"dbc", "check", bad, "--json"});
    EXPECT_EQ(failed.code, 1);
    EXPECT_TRUE(failed.err.contains(bad + ":7: expected byte order 0 or 1, found '3'"))
        << failed.err.toStdString();
    QJsonObject json = QJsonDocument::fromJson(failed.out.toUtf8()).object();
    EXPECT_EQ(json["signals"].toInt(), 3);
    EXPECT_EQ(json["diagnostics"].toArray()[0].toObject()["line"].toInt(), 7);

    EXPECT_EQ(Ctl({"dbc", "check", good, "--encoding", "latin9"}).code, 1);
    EXPECT_EQ(Ctl({"dbc", "check", good + ".missing"}).code, 1);
    EXPECT_EQ(Ctl({"can", "decode", good + ".missing", "--dbc", good}).code, 1);
}

}  // namespace
