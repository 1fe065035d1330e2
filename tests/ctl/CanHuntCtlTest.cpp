// The signal hunt from the command line, end to end: k57ctl records a busy
// bus while the simulated unit flips one bit at each mark, and `can hunt`
// finds that bit in the recording.

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <thread>

#include "CanFrameLog.h"
#include "CtlProcess.h"
#include "Sanitized.h"
#include "SimulatedUnits.h"

namespace {

class CanHuntCtlTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override { k57::StoredPort::Write("COM5"); }

    k57::test::CtlRun Ctl(const QStringList& args) { return k57::test::RunCtl(args, settings_); }
    QString File(const char* name) const {
        return QString::fromStdString(dir_.path()) + "/" + name;
    }
    static void Write(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    k57::test::TempDir dir_;
};

// The busy bus's identifiers: each comes round every half second in the
// plain build, well inside the second after a mark that a change counts in.
// The sanitizers slow the simulated unit and k57ctl alike (a run under
// ThreadSanitizer stretched the round by a fifth, and a change fell out of
// its window), so fewer there, each coming round more often.
constexpr int kBusyIdentifiers = k57::test::kSanitized ? 800 : 2000;
constexpr int kBusFramesPerSecond = 4000;

TEST_F(CanHuntCtlTest, TheBitFlippedAtEachMarkRanksFirstAmongThousandsOfBusyIdentifiers) {
    k57::sim::UnitOptions options;
    options.canFramesPerSecond = kBusFramesPerSecond;
    options.canIdentifiers = kBusyIdentifiers;
    options.canFlip = {0x125, false, 2, 5};  // a busy identifier of the synthetic bus
    k57::sim::Unit& unit = Plug(5, options);

    QProcess recording;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(settings_.directory()));
    recording.setProcessEnvironment(env);
    recording.setStandardOutputFile(File("bus.log"));  // a pipe left unread would stall it
    recording.start(K57CTL_PATH, {"can", "--duration", "10"});
    ASSERT_TRUE(recording.waitForStarted());
    // The marks begin once frames are being recorded: on a busy machine
    // k57ctl may take a while to open the channel.
    // ... and some frames stand before the first mark.
    ASSERT_TRUE(k57::test::WaitUntil([&] { return QFileInfo(File("bus.log")).size() > 4096; }));
    QByteArray marks = "# the door, five times\n";
    for (int m = 0; m < 5; ++m) {
        marks += QByteArray::fromStdString(k57::CandumpStamp(k57::CandumpNow())).mid(1).chopped(1) +
                 " door\n";
        unit.flipCanBit();
        std::this_thread::sleep_for(std::chrono::milliseconds(1400));
    }
    ASSERT_TRUE(recording.waitForFinished(30000));
    ASSERT_EQ(recording.exitCode(), 0) << recording.readAllStandardError().toStdString();
    Write(File("bus.marks"), marks);

    k57::test::CtlRun hunt =
        Ctl({"--json", "can", "hunt", File("bus.log"), "--marks", File("bus.marks")});
    ASSERT_EQ(hunt.code, 0) << hunt.err.toStdString();
    QJsonArray ranking = QJsonDocument::fromJson(hunt.out.toUtf8()).array();
    ASSERT_FALSE(ranking.isEmpty()) << hunt.out.toStdString();
    QJsonObject best = ranking[0].toObject();
    EXPECT_EQ(best["id"].toString(), "125");
    EXPECT_EQ(best["extended"].toBool(), false);
    EXPECT_EQ(best["byte"].toInt(), 2);
    EXPECT_EQ(best["bit"].toInt(), 5);
    EXPECT_EQ(best["change"].toString(), "toggle");  // on at one mark, off at the next
    EXPECT_GT(best["score"].toDouble(), 0.8);
    EXPECT_LE(best["score"].toDouble(), 1.0);
    for (int i = 1; i < ranking.size(); ++i) {
        EXPECT_LT(ranking[i].toObject()["score"].toDouble(), best["score"].toDouble());
    }

    // The same capture summed up, the filter keeping one identifier.
    k57::test::CtlRun stats = Ctl({"--json", "can", "stats", File("bus.log"), "--filter", "+125"});
    ASSERT_EQ(stats.code, 0) << stats.err.toStdString();
    QJsonArray rows = QJsonDocument::fromJson(stats.out.toUtf8()).array();
    ASSERT_EQ(rows.size(), 1);
    QJsonObject row = rows[0].toObject();
    EXPECT_EQ(row["id"].toString(), "125");
    EXPECT_GT(row["count"].toInt(), 5);
    // One round of the identifiers; a loaded machine only stretches it.
    const double round = kBusyIdentifiers * 1000.0 / kBusFramesPerSecond;
    EXPECT_GT(row["period_ms"].toDouble(), round * 0.9);
    EXPECT_LT(row["period_ms"].toDouble(), round * 1.5);
    bool flippedBitChanges = false;
    for (const QJsonValue& bit : row["changing"].toArray()) {
        flippedBitChanges |= bit["byte"].toInt() == 2 && bit["bit"].toInt() == 5;
    }
    EXPECT_TRUE(flippedBitChanges);
}

TEST_F(CanHuntCtlTest, TheFilterKeepsTheLiveOutputToItsIdentifiersAndBadInputIsRefused) {
    k57::sim::UnitOptions options;
    options.canFramesPerSecond = 2000;
    options.canIdentifiers = 40;
    Plug(5, options);
    k57::test::CtlRun can = Ctl({"can", "--count", "20", "--filter", "+125 +14A"});
    ASSERT_EQ(can.code, 0) << can.err.toStdString();
    QStringList lines = can.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 20);
    for (const QString& line : lines) {
        EXPECT_TRUE(line.contains(" k57 125#") || line.contains(" k57 14A#")) << line.toStdString();
    }

    k57::test::CtlRun bad = Ctl({"can", "--filter", "+800"});
    EXPECT_EQ(bad.code, 1);
    EXPECT_TRUE(bad.err.contains("+800")) << bad.err.toStdString();
    Write(File("one.marks"), "12.5\n");
    Write(File("x.log"), "(12.0) can0 123#00\n");
    k57::test::CtlRun oneMark = Ctl({"can", "hunt", File("x.log"), "--marks", File("one.marks")});
    EXPECT_EQ(oneMark.code, 1);
    EXPECT_TRUE(oneMark.err.contains("two marks")) << oneMark.err.toStdString();
    // A window past any capture's length is refused, not turned into an
    // overflowing time that matches nothing.
    Write(File("two.marks"), "12.0\n12.5\n");
    k57::test::CtlRun wide =
        Ctl({"can", "hunt", File("x.log"), "--marks", File("two.marks"), "--window", "1e300"});
    EXPECT_EQ(wide.code, 1);
    EXPECT_TRUE(wide.err.contains("--window")) << wide.err.toStdString();
    k57::test::CtlRun missing = Ctl({"can", "stats", File("none.log")});
    EXPECT_EQ(missing.code, 1);
}

// Marks set on another capture's clock match nothing: said, with the log's
// time range, instead of an empty ranking that looks like success.
TEST_F(CanHuntCtlTest, MarksOutsideTheLogsTimeRangeAreRefused) {
    Write(File("x.log"),
          "(12.000000) can0 123#00\n(13.000000) can0 123#01\n(14.500000) can0 123#00\n");
    Write(File("far.marks"), "12.5 door\n1700000005.25\n");
    k57::test::CtlRun hunt = Ctl({"can", "hunt", File("x.log"), "--marks", File("far.marks")});
    EXPECT_EQ(hunt.code, 1);
    EXPECT_TRUE(hunt.err.contains("12.000000") && hunt.err.contains("14.500000"))
        << hunt.err.toStdString();
    EXPECT_TRUE(hunt.err.contains("1700000005.250000")) << hunt.err.toStdString();
    EXPECT_FALSE(hunt.err.contains("12.500000")) << hunt.err.toStdString();
    EXPECT_TRUE(hunt.out.isEmpty()) << hunt.out.toStdString();
}

// The search by value finds the field canmatrix encoded, exactly as its DBC
// file writes it, in either byte order, among noisy identifiers.
TEST_F(CanHuntCtlTest, TheSearchByValueFindsTheFieldAsItsDbcFileWritesIt) {
    const std::pair<const char*, const char*> cases[] = {{"big", "16|12@0+"},
                                                         {"little", "13|10@1-"}};
    for (const auto& [order, written] : cases) {
        QProcess python;
        python.start("/usr/bin/python3", {K57_TEST_DATA "/../can/write_search_log.py",
                                          QString::fromStdString(dir_.path()), order});
        ASSERT_TRUE(python.waitForFinished(60000));
        ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
        QFile dbc(File("search.dbc"));
        ASSERT_TRUE(dbc.open(QIODevice::ReadOnly));
        ASSERT_TRUE(dbc.readAll().contains(QByteArray(" SG_ level : ") + written)) << order;

        k57::test::CtlRun search = Ctl({"--json", "can", "search", File("search.log"), "--marks",
                                        File("search.marks"), "--most", "5"});
        ASSERT_EQ(search.code, 0) << search.err.toStdString();
        QJsonArray ranking = QJsonDocument::fromJson(search.out.toUtf8()).array();
        ASSERT_EQ(ranking.size(), 5) << search.out.toStdString();
        QJsonObject best = ranking[0].toObject();
        EXPECT_EQ(best.keys(), (QStringList{"byte_order", "extended", "id", "length", "score",
                                            "signed", "start"}));
        EXPECT_EQ(best["id"].toString(), "3B4");
        EXPECT_EQ(QString("%1|%2@%3%4")
                      .arg(best["start"].toInt())
                      .arg(best["length"].toInt())
                      .arg(best["byte_order"].toString() == "big" ? 0 : 1)
                      .arg(best["signed"].toBool() ? "-" : "+"),
                  written)
            << search.out.toStdString();
        EXPECT_DOUBLE_EQ(best["score"].toDouble(), 1.0);
    }
    k57::test::CtlRun text = Ctl({"can", "search", File("search.log"), "--marks",
                                  File("search.marks"), "--most", "2", "--filter", "+3B4"});
    ASSERT_EQ(text.code, 0) << text.err.toStdString();
    EXPECT_TRUE(text.out.startsWith("3B4 start 13 length 10 little signed  score 1.00  7/7 marks"))
        << text.out.toStdString();
    EXPECT_EQ(text.out.count('\n'), 2);

    // A mark that says no move among those that do is left out, and said so.
    QFile marks(File("search.marks"));
    ASSERT_TRUE(marks.open(QIODevice::ReadOnly));
    Write(File("mixed.marks"), marks.readAll() + "1010.0 door\n");
    k57::test::CtlRun mixed = Ctl({"can", "search", File("search.log"), "--marks",
                                   File("mixed.marks"), "--most", "1", "--filter", "+3B4"});
    ASSERT_EQ(mixed.code, 0) << mixed.err.toStdString();
    EXPECT_TRUE(mixed.out.startsWith("3B4 start 13 length 10 little signed  score 1.00  7/7 marks"))
        << mixed.out.toStdString();
    EXPECT_TRUE(mixed.err.contains("1 mark without a move left out")) << mixed.err.toStdString();
    // A window of 0 s would hold no change: refused, not taken as the default.
    k57::test::CtlRun none = Ctl(
        {"can", "search", File("search.log"), "--marks", File("search.marks"), "--window", "0"});
    EXPECT_EQ(none.code, 1);
    EXPECT_TRUE(none.err.contains("--window")) << none.err.toStdString();

    // Marks that say no move, and marks on another clock, are refused.
    Write(File("plain.marks"), "1005.0 door\n1008.0\n");
    k57::test::CtlRun plain =
        Ctl({"can", "search", File("search.log"), "--marks", File("plain.marks")});
    EXPECT_EQ(plain.code, 1);
    EXPECT_TRUE(plain.err.contains("up, down or same")) << plain.err.toStdString();
    Write(File("far.marks"), "5.0 up\n");
    k57::test::CtlRun far =
        Ctl({"can", "search", File("search.log"), "--marks", File("far.marks")});
    EXPECT_EQ(far.code, 1);
    EXPECT_TRUE(far.err.contains("1000.000000 to 1029.919000")) << far.err.toStdString();
}

// PCAN traces and BLF files as python-can writes them, and a capture on
// standard input: its first bytes tell the format and are read as frames.
TEST_F(CanHuntCtlTest, CaptureFilesOfEveryKindAndOnStandardInputAreSummedUp) {
    QProcess python;
    python.start("/usr/bin/python3",
                 {K57_TEST_DATA "/../can/write_logs.py", QString::fromStdString(dir_.path())});
    ASSERT_TRUE(python.waitForFinished(60000));
    ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    // 40 identifiers and 4 more; the trace writer leaves out the remote frames.
    const std::pair<const char*, int> files[] = {
        {"log21.trc", 44}, {"log10.trc", 44}, {"logz.blf", 46}, {"log.blf", 46}};
    for (const auto& [name, identifiers] : files) {
        k57::test::CtlRun stats = Ctl({"--json", "can", "stats", File(name)});
        ASSERT_EQ(stats.code, 0) << name << ": " << stats.err.toStdString();
        EXPECT_EQ(QJsonDocument::fromJson(stats.out.toUtf8()).array().size(), identifiers) << name;
    }
    QFile asc(File("log.asc"));
    ASSERT_TRUE(asc.open(QIODevice::ReadOnly));
    k57::test::CtlRun piped =
        k57::test::RunCtl({"--json", "can", "stats", "-"}, settings_, asc.readAll());
    ASSERT_EQ(piped.code, 0) << piped.err.toStdString();
    EXPECT_EQ(QJsonDocument::fromJson(piped.out.toUtf8()).array().size(), 46);

    // A damaged BLF file: the frames before the damage, its offset on stderr.
    QFile blf(File("logz.blf"));
    ASSERT_TRUE(blf.open(QIODevice::ReadOnly));
    Write(File("cut.blf"), blf.readAll().chopped(100));
    k57::test::CtlRun cut = Ctl({"can", "stats", File("cut.blf")});
    ASSERT_EQ(cut.code, 0) << cut.err.toStdString();
    EXPECT_TRUE(cut.err.contains(QRegularExpression("cut.blf: byte \\d+: ")))
        << cut.err.toStdString();
}

// A gap in the capture pulls the mean period; the median beside it stands.
TEST_F(CanHuntCtlTest, StatsGiveTheMedianPeriodBesideTheMean) {
    QByteArray log;
    for (int i = 0; i <= 20; ++i) {
        const int ms = i * 10 + (i > 10 ? 2000 : 0);  // two silent seconds halfway
        log += QByteArray::fromStdString(k57::CandumpStamp(1'700'000'000'000'000 + ms * 1000)) +
               " can0 100#00\n";
    }
    Write(File("gap.log"), log);
    k57::test::CtlRun json = Ctl({"--json", "can", "stats", File("gap.log")});
    ASSERT_EQ(json.code, 0) << json.err.toStdString();
    QJsonObject row = QJsonDocument::fromJson(json.out.toUtf8()).array()[0].toObject();
    EXPECT_DOUBLE_EQ(row["period_ms"].toDouble(), 110.0);
    EXPECT_DOUBLE_EQ(row["period_median_ms"].toDouble(), 10.0);
    EXPECT_EQ(row["count"].toInt(), 21);
    k57::test::CtlRun text = Ctl({"can", "stats", File("gap.log")});
    ASSERT_EQ(text.code, 0) << text.err.toStdString();
    QStringList lines = text.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].contains("period ms  median ms")) << lines[0].toStdString();
    EXPECT_EQ(lines[1].simplified().toStdString(), "100 21 9.1 110.0 10.0");
}

}  // namespace
