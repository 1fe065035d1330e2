// k57ctl's dbc check and can decode as a script runs them: files in,
// exit codes, stdout and stderr.

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <random>

#include "CtlFileTest.h"

namespace {

using DbcCtlTest = k57::test::CtlFileTest;

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

// A log followed live on standard input: each frame is printed while the
// next has not come yet, not when a buffer fills or the input ends.
TEST_F(DbcCtlTest, DecodingStandardInputPrintsEachFrameAsItComes) {
    QString dbc = Write("car.dbc", kDatabase);
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(settings_.directory()));
    process.setProcessEnvironment(env);
    process.start(K57CTL_PATH, {"can", "decode", "-", "--dbc", dbc, "--quiet"});
    ASSERT_TRUE(process.waitForStarted(30000));
    QByteArray out;
    for (const char* line : {"(1.000000) can0 1A0#E803030000000000\n",
                             "(2.000000) can0 1A0#D007010000000000\n"}) {
        process.write(line);
        int lines = out.count('\n');
        QElapsedTimer waited;
        waited.start();
        while (out.count('\n') == lines && waited.elapsed() < 30000) {
            process.waitForReadyRead(1000);
            out += process.readAllStandardOutput();
        }
    }
    EXPECT_EQ(out.toStdString(),
              "(1.000000) 1A0 Engine: Speed=10 km/h, Gear=3 \"D\"\n"
              "(2.000000) 1A0 Engine: Speed=20 km/h, Gear=1\n");
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0);
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

// Numbers where JSON and the text part ways (1e-04 against 0.0001, whole
// numbers beyond 2^53, -0, NaN), names QJsonObject sorts and a name twice:
// the lines as k57ctl printed them when each line was built by Qt.
TEST_F(DbcCtlTest, DecodedLinesKeepTheirFormatForAwkwardValuesAndNames) {
    QString dbc = Write("edges.dbc",
                        "BO_ 256 Edges: 8 ECU\n"
                        " SG_ b : 0|8@1+ (1000000,0) [0|0] \"\" GW\n"
                        " SG_ B : 8|8@1- (-1,0) [0|0] \"\" GW\n"
                        " SG_ _u : 16|8@1+ (0.0001,0) [0|0] \"\" GW\n"
                        " SG_ a : 24|8@1+ (1e16,0) [0|0] \"x y\" GW\n"
                        " SG_ b : 32|8@1+ (0.5,0) [0|0] \"\" GW\n"
                        " SG_ Z : 0|64@1+ (1,0) [0|0] \"\" GW\n"
                        "BO_ 257 Floats: 8 ECU\n"
                        " SG_ f : 0|32@1- (1,0) [0|0] \"\" GW\n"
                        " SG_ d : 32|32@1- (1,0.25) [0|0] \"\" GW\n"
                        "SIG_VALTYPE_ 257 f : 1;\n"
                        "VAL_ 256 B 0 \"zero \\ back\\slash\" 3 \"caf\xE9\" ;\n"
                        "VAL_ 256 b 2 \"two\" ;\n");
    QString log = Write("edges.log",
                        "(1.000000) k57 100#02000001FE000000\n"
                        "(12.500001) k57 100#FF0303\n"
                        "(0.000001) k57 101#0000C0FF00000080\n"
                        "(0.000002) k57 101#0000807F00000000\n"
                        "(1436509052.249713) k57 100#FFFFFFFFFFFFFFFF\n");
    k57::test::CtlRun text = Ctl({"can", "decode", log, "--dbc", dbc, "--quiet"});
    ASSERT_EQ(text.code, 0) << text.err.toStdString();
    EXPECT_EQ(text.out.toStdString(),
              "(1.000000) 100 Edges: b=2e+06 \"two\", B=0 \"zero \\ back\\slash\", _u=0, a=1e+16 x y, Z=1090938470402\n"
              "(12.500001) 100 Edges: b=2.55e+08, B=-3 \"caf\u00E9\", _u=3e-04\n"
              "(0.000001) 101 Floats: f=-nan, d=-2147483647.75\n"
              "(0.000002) 101 Floats: f=inf, d=0.25\n"
              "(1436509052.249713) 100 Edges: b=2.55e+08, B=1, _u=0.0255, a=2.55e+18 x y, Z=18446744073709551616\n");
    k57::test::CtlRun json = Ctl({"can", "decode", log, "--dbc", dbc, "--quiet", "--json"});
    ASSERT_EQ(json.code, 0) << json.err.toStdString();
    EXPECT_EQ(json.out.toStdString(),
              "{\"id\":\"100\",\"message\":\"Edges\",\"signals\":{\"B\":0,\"Z\":1090938470402,\"_u\":0,\"a\":1e+16,\"b\":2000000},\"t\":1,\"texts\":{\"B\":\"zero \\\\ back\\\\slash\",\"b\":\"two\"}}\n"
              "{\"id\":\"100\",\"message\":\"Edges\",\"signals\":{\"B\":-3,\"_u\":3e-04,\"b\":255000000},\"t\":12.500001,\"texts\":{\"B\":\"caf\u00E9\"}}\n"
              "{\"id\":\"101\",\"message\":\"Floats\",\"signals\":{\"d\":-2147483647.75,\"f\":null},\"t\":1e-06}\n"
              "{\"id\":\"101\",\"message\":\"Floats\",\"signals\":{\"d\":0.25,\"f\":null},\"t\":2e-06}\n"
              "{\"id\":\"100\",\"message\":\"Edges\",\"signals\":{\"B\":1,\"Z\":18446744073709552000,\"_u\":0.0255,\"a\":2.55e+18,\"b\":255000000},\"t\":1436509052.249713}\n");
}

// Random frames of every message of the real databases (some short, some
// remote, some unknown), decoded as text and as JSON: the output's digests
// are those k57ctl gave before its lines were built by hand, with decimal
// factors' values since printed as the decimals they are (1.2, not
// 1.2000000000000002).
TEST_F(DbcCtlTest, DecodedLinesOfRealDatabasesStayByteForByte) {
    struct File {
        const char* name;
        const char* text;  // SHA-256 of the output
        const char* json;
    };
    const File files[] = {
        {"mazda_2017.dbc", "fb6bea501a4ed7c837c2e51423f408b642d791c96bc8e9b487408e69d0634bbb",
         "0a54516f800d4808f8dfc8a50a4efbdf9c394fd448a8fdd995ddce7af90de474"},
        {"mercedes_benz_e350_2010.dbc", "e2f9e72e7bd69c2d67524242f5cb00f9c5b339199696f15a6e29843964ec01fb",
         "ff2851d8091c8f883b2711bd2ebb0c77edfcc49dceebb6030af046b78511978f"},
        {"tesla_can.dbc", "cd88811909830e1c764e85e419a1f737fc4d2e61af560de764287c3e6c164ed2",
         "b22fd139188e6717abb0e1540596a46ce4f8cd54d2fe6531fc41c7bf4fc0c688"},
        {"test.dbc", "98850724ce70ec56493a60c0433894af2cb26e1fcfbccdd03455a729674413bf",
         "176844b2ce1e73d221bacb6094409c6b2a4b1044e642e8074cb75b6cea33bcca"},
        {"vw_mqb.dbc", "6bdae79ea64c7da6ba3e8fca8eea887d9ea0a2e895fd32c2f477099edd51b48b",
         "2fdfff570ce694a6f9fd99a7a6b7c073b2284e7bc927712c56a6d7249e34f965"},
    };
    QRegularExpression messageLine("^BO_ (\\d+) \\w+ *: *(\\d+)",
                                   QRegularExpression::MultilineOption);
    for (const File& file : files) {
        SCOPED_TRACE(file.name);
        QFile dbcFile(QString(K57_DBC_DATA) + "/" + file.name);
        if (!dbcFile.open(QIODevice::ReadOnly)) {
            GTEST_SKIP() << "no " << file.name << " in " << K57_DBC_DATA;
        }
        QString dbc = dbcFile.fileName();
        std::vector<std::pair<uint32_t, int>> messages;  // identifier as written, length
        auto found = messageLine.globalMatch(QString::fromLatin1(dbcFile.readAll()));
        while (found.hasNext()) {
            auto match = found.next();
            messages.emplace_back(match.captured(1).toUInt(), match.captured(2).toInt());
        }
        ASSERT_FALSE(messages.empty());
        std::mt19937 random(57);  // the same numbers on every library
        QByteArray log;
        for (int n = 0; n < 3000; ++n) {
            auto [id, length] = messages[random() % messages.size()];
            bool extended = id & 0x80000000u;
            id &= 0x1FFFFFFFu;
            if (n % 97 == 0) {
                id ^= 0x5;  // most likely not in the database
            }
            length = std::min(length, 8);
            if (n % 13 == 0 && length > 0) {
                length = int(random() % unsigned(length));  // too short for some signals
            }
            char head[48];
            std::snprintf(head, sizeof head, extended ? "(%d.%06d) can0 %08X#" : "(%d.%06d) can0 %03X#",
                          1700000000 + n / 100, int(random() % 1000000), id);
            log += head;
            if (n % 101 == 0) {
                log += "R";
            } else {
                for (int i = 0; i < length; ++i) {
                    log += QByteArray::number(0x100 | (random() & 0xFF), 16).mid(1).toUpper();
                }
            }
            log += '\n';
        }
        QString logFile = Write("frames.log", log);
        for (bool asJson : {false, true}) {
            QStringList args = {"can", "decode", logFile, "--dbc", dbc, "--quiet"};
            if (asJson) {
                args << "--json";
            }
            k57::test::CtlRun run = Ctl(args);
            ASSERT_EQ(run.code, 0) << run.err.toStdString();
            EXPECT_EQ(QCryptographicHash::hash(run.out.toUtf8(), QCryptographicHash::Sha256)
                          .toHex()
                          .toStdString(),
                      asJson ? file.json : file.text)
                << (asJson ? "JSON" : "text");
        }
    }
}

}  // namespace
