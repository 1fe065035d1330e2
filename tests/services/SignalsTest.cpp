#include <gtest/gtest.h>

#include <QFile>
#include <cmath>
#include <memory>

#include "CanSignals.h"
#include "DiagnosticSession.h"
#include "DiagnosticTrace.h"
#include "PortChannel.h"
#include "SimulatedUnits.h"
#include "T110_Device.h"
#include "TempDir.h"

namespace {

const std::string kDbcDir = K57_DBC_DATA;

QString Dbc(const char* name) {
    return QString::fromStdString(kDbcDir + "/" + name);
}

// --- the motion sensor's trace -------------------------------------------

class DiagnosticTraceTest : public k57::test::SimulatedUnits {
  protected:
    QString Path(const char* name) { return QString::fromStdString(dir.path() + "/" + name); }
    k57::test::TempDir dir;
};

// The unit's motion trace read as the monitor reads it, recorded, and
// read back: the same samples and marks.
TEST_F(DiagnosticTraceTest, ASessionRecordedToCsvReadsBack) {
    k57::StoredPort::Write("COM5");
    k57::sim::UnitOptions options;
    options.diagnosticMotion = true;
    options.diagnosticPeriodMs = 2;  // 500 readings a second: the first tap in 7 s
    Plug(5, options);
    T110_Device device;
    ASSERT_EQ(device.EnterDiagnosticMode(), 0);
    k57::DiagnosticSession diagnostic;
    diagnostic.Start(device.Channel());

    k57::DiagnosticTrace trace;
    QString error;
    ASSERT_TRUE(trace.StartRecording(Path("session.csv"), error)) << error.toStdString();
    const auto start = std::chrono::steady_clock::now();
    auto seconds = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    const k57::PlotData& data = trace.data();
    ASSERT_TRUE(k57::test::WaitUntil(
        [&] {
            trace.Take(diagnostic.Pump(), seconds());
            return std::any_of(data.marks().begin(), data.marks().end(),
                               [](const k57::PlotMark& m) { return m.label == "$AccE: Shock 1"; });
        },
        15000));
    const double shock = seconds();
    k57::test::WaitUntil(  // the tap rings on for a while
        [&] {
            trace.Take(diagnostic.Pump(), seconds());
            return seconds() > shock + 0.3;
        },
        1000);
    ASSERT_TRUE(trace.StopRecording(error)) << error.toStdString();
    diagnostic.Stop();

    // At rest Z carries gravity; the tap rings well past the rest noise on X.
    const k57::PlotChannel& x = data.channels()[k57::DiagnosticTrace::X];
    const k57::PlotChannel& z = data.channels()[k57::DiagnosticTrace::Z];
    ASSERT_GT(x.size(), 1000u);
    EXPECT_NEAR(z.Value(0), 980, 20);
    double peak = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        peak = std::max(peak, std::abs(x.Value(i)));
    }
    EXPECT_GT(peak, 100);

    k57::PlotData back;
    ASSERT_TRUE(k57::DiagnosticTrace::Open(Path("session.csv"), back, error))
        << error.toStdString();
    ASSERT_EQ(back.channels().size(), 3u);
    EXPECT_EQ(back.channels()[0].name(), "X");
    for (int axis = 0; axis < 3; ++axis) {
        const k57::PlotChannel& a = data.channels()[size_t(axis)];
        const k57::PlotChannel& b = back.channels()[size_t(axis)];
        ASSERT_EQ(a.size(), b.size());
        for (size_t i = 0; i < a.size(); i += 37) {
            EXPECT_EQ(a.Time(i), b.Time(i));
            EXPECT_EQ(a.Value(i), b.Value(i));
        }
    }
    ASSERT_EQ(back.marks().size(), data.marks().size());
    EXPECT_EQ(back.marks().back().label, data.marks().back().label);
    EXPECT_EQ(back.marks().back().seconds, data.marks().back().seconds);
}

TEST_F(DiagnosticTraceTest, ReadingsOfOneReadAreSpreadOverTheTimeSinceThePrevious) {
    k57::DiagnosticTrace trace;
    k57::DiagnosticLines lines;
    trace.Take(lines.Feed("\r\n$AccD:\t1,\t2,\t3\r\n"), 1.0);
    trace.Take(lines.Feed("$AccD:\t4,\t5,\t6\r\n$AccD:\t7,\t8\r\n$VS: Low\r\n"), 2.0);
    const k57::PlotChannel& x = trace.data().channels()[0];
    const k57::PlotChannel& z = trace.data().channels()[2];
    ASSERT_EQ(x.size(), 3u);
    EXPECT_EQ(x.Time(1), 1.5);
    EXPECT_EQ(x.Time(2), 2.0);
    EXPECT_EQ(x.Value(2), 7);
    EXPECT_EQ(z.size(), 2u);  // the last line carried no Z
    ASSERT_EQ(trace.data().marks().size(), 1u);
    EXPECT_EQ(trace.data().marks()[0].label, "$VS: Low");
    EXPECT_EQ(trace.data().marks()[0].seconds, 2.0);
}

TEST_F(DiagnosticTraceTest, FilesThatCannotBeWrittenOrReadSaySo) {
    k57::DiagnosticTrace trace;
    k57::PlotData data;
    QString error;
    EXPECT_FALSE(trace.StartRecording(Path("no/such/dir/session.csv"), error));
    EXPECT_FALSE(trace.Recording());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(k57::DiagnosticTrace::Open(Path("missing.csv"), data, error));
    QFile bad(Path("bad.csv"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("time_s,X,Y,Z,mark\n0.1,1,2,3,\n0.2,1,2\n");
    bad.close();
    EXPECT_FALSE(k57::DiagnosticTrace::Open(Path("bad.csv"), data, error));
    EXPECT_EQ(error.toStdString(), "line 3: 3 cells, the header has 5");
}

// --- CAN frames as named signals -------------------------------------------

CanRecord Frame(uint32_t id, std::initializer_list<uint8_t> bytes) {
    CanRecord frame;
    frame.id = id;
    frame.dlc = uint8_t(bytes.size());
    std::copy(bytes.begin(), bytes.end(), frame.data);
    return frame;
}

TEST(CanSignals, AFrameOfAKnownMessageIsDecodedAndItsTickedSignalPlotted) {
    k57::CanSignals can;
    std::vector<k57::dbc::Diagnostic> problems;
    ASSERT_TRUE(can.Load(Dbc("tesla_can.dbc"), k57::dbc::Encoding::Cp1252, problems));
    for (const k57::dbc::Diagnostic& problem : problems) {
        EXPECT_TRUE(problem.warning) << problem.ToString();
        EXPECT_EQ(problem.file, kDbcDir + "/tesla_can.dbc");
        EXPECT_GT(problem.line, 0);
    }
    const k57::dbc::Message* torque = can.Find(0x108, false);
    ASSERT_TRUE(torque);
    can.SetPlotted(*torque->FindSignal("DI_pedalPos"), true);

    // DI_pedalPos: byte 6 times 0.4 %; DI_soptState: bits 29-31, 3 "SOPT_TEST_PASSED".
    EXPECT_FALSE(can.Take(Frame(0x7FF, {1}), 1'000'000));  // no database knows it
    const k57::CanSignals::Row* row =
        can.Take(Frame(0x108, {0, 0, 0, 0x60, 0, 0, 100, 0}), 1'000'000);
    ASSERT_TRUE(row);
    can.Take(Frame(0x108, {0, 0, 0, 0, 0, 0, 50, 0}), 1'500'000);
    EXPECT_EQ(row->frames, 2u);
    EXPECT_EQ(can.rows().size(), 1u);

    const k57::PlotChannel& pedal = can.plot().channels().at(0);
    EXPECT_EQ(pedal.name(), "DI_pedalPos");
    EXPECT_EQ(pedal.unit(), "%");
    ASSERT_EQ(pedal.size(), 2u);
    EXPECT_DOUBLE_EQ(pedal.Value(0), 40);
    EXPECT_DOUBLE_EQ(pedal.Value(1), 20);
    EXPECT_DOUBLE_EQ(pedal.Time(1), 0.5);

    // Unticked: its channel goes; another ticked one keeps its own.
    can.SetPlotted(*torque->FindSignal("DI_motorRPM"), true);
    can.SetPlotted(*torque->FindSignal("DI_pedalPos"), false);
    can.Take(Frame(0x108, {0, 0, 0, 0, 0x10, 0, 0, 0}), 2'000'000);
    ASSERT_EQ(can.plot().channels().size(), 1u);
    EXPECT_EQ(can.plot().channels()[0].name(), "DI_motorRPM");
    EXPECT_EQ(can.plot().channels()[0].Value(0), 16);
}

// A cleared log is a new capture: its values and its time axis start
// afresh, the axis at the capture's start.
TEST(CanSignals, AFollowerOfTheFrameLogSeesEachFrameOnceAndEachCaptureAfresh) {
    k57::CanSignals can;
    std::vector<k57::dbc::Diagnostic> problems;
    ASSERT_TRUE(can.Load(Dbc("tesla_can.dbc"), k57::dbc::Encoding::Cp1252, problems));
    const k57::dbc::Message* torque = can.Find(0x108, false);
    ASSERT_TRUE(torque);
    can.SetPlotted(*torque->FindSignal("DI_pedalPos"), true);
    k57::CanFrameLog log;
    const int64_t of2023 = 1'690'000'000'000'000;
    log.Add(Frame(0x108, {0, 0, 0, 0, 0, 0, 100, 0}), of2023);
    log.Add(Frame(0x108, {0, 0, 0, 0, 0, 0, 100, 0}), of2023 + 1);
    can.Follow(log);
    can.Follow(log);
    EXPECT_EQ(can.rows().begin()->second.frames, 2u);

    const int64_t opened = 1'765'000'000'000'000;
    log.Clear(opened);
    log.Add(Frame(0x7FF, {}), opened + 1'000'000);  // no database knows it
    can.Follow(log);
    EXPECT_TRUE(can.rows().empty());
    EXPECT_EQ(can.plot().channels().at(0).size(), 0u);
    log.Add(Frame(0x108, {0, 0, 0, 0, 0, 0, 50, 0}), opened + 2'500'000);
    can.Follow(log);
    ASSERT_EQ(can.rows().size(), 1u);
    EXPECT_EQ(can.rows().begin()->second.frames, 1u);
    const k57::PlotChannel& pedal = can.plot().channels().at(0);
    ASSERT_EQ(pedal.size(), 1u);
    EXPECT_DOUBLE_EQ(pedal.Time(0), 2.5);  // from the opening, not from 2023
    EXPECT_DOUBLE_EQ(pedal.Value(0), 20);
}

TEST(CanSignals, BrokenAndMissingFilesAreReportedWithFileAndLine) {
    k57::test::TempDir dir;
    const std::string path = dir.path() + "/broken.dbc";
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("VERSION \"\"\n\nBO_ 256 Engine: 8 ECU\n SG_ Rpm : 0|16@1+ (0.25,0) [0|16000] \"rpm\" X\n"
               " SG_ Broken : 99|banana\n\nBO_ 512 Doors: 1 BCM\n SG_ Open : 0|1@1+ (1,0) [0|1] \"\" X\n");
    file.close();
    k57::CanSignals can;
    std::vector<k57::dbc::Diagnostic> problems;
    ASSERT_TRUE(can.Load(QString::fromStdString(path), k57::dbc::Encoding::Utf8, problems));
    ASSERT_FALSE(problems.empty());
    EXPECT_EQ(problems[0].file, path);
    EXPECT_EQ(problems[0].line, 5);
    EXPECT_FALSE(problems[0].warning);
    EXPECT_TRUE(can.Find(0x200, false));  // what could be read is kept

    problems.clear();
    EXPECT_FALSE(can.Load(QString::fromStdString(dir.path() + "/none.dbc"),
                          k57::dbc::Encoding::Cp1252, problems));
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].line, 0);
    EXPECT_EQ(can.files().size(), 1u);
}

TEST(CanSignals, ABitLayoutShowsTheSignalsBitsOverTheFrames) {
    k57::CanSignals can;
    std::vector<k57::dbc::Diagnostic> problems;
    ASSERT_TRUE(can.Load(Dbc("tesla_can.dbc"), k57::dbc::Encoding::Cp1252, problems));
    const k57::dbc::Message* torque = can.Find(0x108, false);
    const uint8_t data[8] = {0, 0, 0, 0xA0, 0, 0, 0x65, 0};
    // Intel, bits 29-31: the top three of byte 3.
    EXPECT_EQ(k57::BitLayout(*torque->FindSignal("DI_soptState"), data, 8),
              "........ ........ ........ 101..... ........ ........ ........ ........");
    EXPECT_EQ(k57::BitLayout(*torque->FindSignal("DI_pedalPos"), data, 8),
              "........ ........ ........ ........ ........ ........ 01100101 ........");
    // Motorola, start bit 5, 14 bits: byte 0's low six bits and all of byte 1.
    const k57::dbc::Message* angle = can.Find(0x3, false);
    const uint8_t ones[8] = {0xFF, 0xFF, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(k57::BitLayout(*angle->FindSignal("StW_Angl"), ones, 2), "..111111 11111111");
}

}  // namespace
