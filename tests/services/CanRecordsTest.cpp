// The CAN records the session keeps: each frame with its own time, the
// first frame after the open, the identifier filter and the marks.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <set>
#include <thread>
#include <fstream>
#include <memory>
#include <sstream>

#include "CanRecording.h"
#include "CanSession.h"
#include "SimulatedUnits.h"
#include "T110_Device.h"

namespace {

class CanRecordsTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override {
        k57::StoredPort::Write("COM5");
        session = std::make_unique<T110_Device>();
    }

    // A unit replaying `log` (candump text), and the channel open on it.
    void PlayAndOpen(const std::string& log) {
        std::string path = dir.path() + "/replayed.log";
        std::ofstream(path) << log;
        k57::sim::UnitOptions options;
        options.canLog = path;
        Plug(5, options);
        ASSERT_EQ(can.Open(session->Channel(), 6).result, k57::kReplyOk);
    }

    // The intervals in milliseconds between the frames of `id` in a candump log.
    static std::vector<double> Intervals(const std::string& path, uint32_t id) {
        k57::CanRecording recording;
        std::string error;
        EXPECT_TRUE(k57::ReadCanLogFile(path, recording, error)) << error;
        EXPECT_EQ(recording.malformed, 0);
        std::vector<double> intervals;
        int64_t last = -1;
        for (const k57::LoggedFrame& f : recording.frames) {
            if (f.id == id) {
                if (last >= 0) {
                    intervals.push_back(double(f.us - last) / 1000.0);
                }
                last = f.us;
            }
        }
        return intervals;
    }

    static void ExpectSteady(const std::vector<double>& intervals, double periodMs) {
        ASSERT_GE(intervals.size(), 20u);
        double sum = 0, squares = 0;
        for (double i : intervals) {
            sum += i;
            squares += i * i;
        }
        double mean = sum / double(intervals.size());
        double deviation = std::sqrt(squares / double(intervals.size()) - mean * mean);
        EXPECT_NEAR(mean, periodMs, 1.0);
        // One time a read gave a 10 ms message a deviation of 10 ms; the
        // unit's millisecond stamps leave only its own lateness in sending.
        EXPECT_LT(deviation, 5.0);
        std::vector<double> sorted = intervals;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_NEAR(sorted[sorted.size() / 2], periodMs, 1.0);
        EXPECT_GE(*std::min_element(intervals.begin(), intervals.end()), 0.0);
    }

    // A candump log: 0x100 every 10 ms, and 0x200 between them, for `ms`.
    static std::string TenMillisecondLog(int ms) {
        std::ostringstream log;
        for (int t = 0; t < ms; t += 5) {
            log << "(" << 1700000000 + t / 1000 << "." << std::setw(6) << std::setfill('0')
                << t % 1000 * 1000 << ") can0 "
                << (t % 10 ? "200#" : "100#") << std::setw(2) << std::hex << (t / 5) % 256
                << std::dec << "\n";
        }
        return log.str();
    }

    k57::test::TempDir dir;
    std::unique_ptr<T110_Device> session;
    k57::CanSession can;
};

TEST_F(CanRecordsTest, TheFirstFrameAfterOpeningArrives) {
    PlayAndOpen(
        "(1700000100.000000) vcan0 123#0011223344556677\n"
        "(1700000100.050000) vcan0 456#01\n"
        "(1700000100.100000) vcan0 789#02\n");
    std::optional<k57::CanSession::Frame> first = can.NextFrame(2000);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->record.id, 0x123u);
    EXPECT_EQ(first->record.data[7], 0x77);
    std::optional<k57::CanSession::Frame> second = can.NextFrame(2000);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->record.id, 0x456u);
    can.Close();
}

TEST_F(CanRecordsTest, SavedFramesKeepTheirOwnSpacingWhenReadInTwentyMillisecondTicks) {
    PlayAndOpen(TenMillisecondLog(5000));
    // As the window reads: every 20 ms, what is waiting.
    for (int tick = 0; tick < 60; ++tick) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        can.Pump(20, k57::FilterMode::None, false);
    }
    can.Close();
    std::string saved = dir.path() + "/saved.log";
    QString error;
    ASSERT_TRUE(can.Save(QString::fromStdString(saved), error)) << error.toStdString();
    ExpectSteady(Intervals(saved, 0x100), 10.0);
}

TEST_F(CanRecordsTest, FramesHandedOutOneByOneKeepTheirOwnSpacingToo) {
    PlayAndOpen(TenMillisecondLog(5000));
    std::vector<double> intervals;
    int64_t last = -1, previous = -1;
    for (int n = 0; n < 100; ++n) {
        std::optional<k57::CanSession::Frame> frame = can.NextFrame(1000);
        ASSERT_TRUE(frame);
        ASSERT_GE(frame->us, previous);  // the order they came in
        previous = frame->us;
        if (frame->record.id == 0x100) {
            if (last >= 0) {
                intervals.push_back(double(frame->us - last) / 1000.0);
            }
            last = frame->us;
        }
        if (n % 10 == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(25));  // a slow terminal
        }
    }
    can.Close();
    ExpectSteady(intervals, 10.0);
}

TEST_F(CanRecordsTest, TheFilterDecidesWhatIsShownCountedSavedAndHandedOut) {
    PlayAndOpen(
        "(1700000100.000000) vcan0 100#01\n"
        "(1700000100.001000) vcan0 7DF#02\n"
        "(1700000100.002000) vcan0 18DA00F1#03\n"
        "(1700000100.003000) vcan0 410#04\n");
    k57::CanFilter filter;
    std::string error;
    ASSERT_TRUE(k57::CanFilter::Parse("-7DF +400/700 +18DA00F1", filter, error)) << error;
    can.SetFilter(filter);
    std::set<uint32_t> handed;
    for (int n = 0; n < 6; ++n) {
        std::optional<k57::CanSession::Frame> frame = can.NextFrame(1000);
        ASSERT_TRUE(frame);
        handed.insert(frame->record.id);
    }
    EXPECT_EQ(handed, (std::set<uint32_t>{0x410, 0x18DA00F1}));
    EXPECT_EQ(can.capture().Records().size(), 2u);
    EXPECT_EQ(can.capture().MessageCounter(), 6);
    EXPECT_EQ(can.statistics().identifiers().size(), 2u);
    can.Close();

    can.Mark("дверь");
    std::string saved = dir.path() + "/filtered.log";
    QString why;
    ASSERT_TRUE(can.Save(QString::fromStdString(saved), why)) << why.toStdString();
    EXPECT_TRUE(Intervals(saved, 0x100).empty());
    EXPECT_TRUE(Intervals(saved, 0x7DF).empty());
    std::ifstream sidecar(k57::CanMarks::SidecarPath(saved));
    std::vector<k57::CanMarks::Problem> problems;
    k57::CanMarks marks = k57::CanMarks::Read(sidecar, problems);
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_EQ(marks.marks()[0].label, "дверь");
    EXPECT_TRUE(problems.empty());

    // A narrower filter takes the rows it no longer passes off the table.
    ASSERT_TRUE(k57::CanFilter::Parse("+410", filter, error));
    can.SetFilter(filter);
    ASSERT_EQ(can.capture().Records().size(), 1u);
    EXPECT_EQ(can.capture().Records()[0].id, 0x410u);
}

TEST_F(CanRecordsTest, ACaptureFilePlaysIntoTheSessionWithItsMarksOnItsOwnClock) {
    std::string path = dir.path() + "/offline.log";
    std::ofstream(path) << "(1700000000.000000) can0 100#00\n"
                           "(1700000000.500000) can0 100#01\n"
                           "(1700000001.000000) can0 100#00\n"
                           "(1700000001.500000) can0 100#01\n";
    std::ofstream(k57::CanMarks::SidecarPath(path)) << "1700000000.45 door\n1700000001.45\n";
    std::string error;
    ASSERT_TRUE(can.Play(path, k57::CanPlayback::kAtOnce, error)) << error;
    EXPECT_EQ(can.Pump(20, k57::FilterMode::None, false), 4u);
    EXPECT_EQ(can.marks().size(), 2u);
    EXPECT_EQ(can.Now(), 1700000001500000);  // where the playing got to
    k57::SignalHunt::Options options;
    options.afterUs = 200'000;
    std::vector<k57::SignalHunt::Candidate> ranking = can.Rank(options);
    ASSERT_FALSE(ranking.empty());
    EXPECT_EQ(ranking[0].id, 0x100u);
    EXPECT_EQ(ranking[0].byte, 0);
    EXPECT_EQ(ranking[0].bit, 0);
    EXPECT_DOUBLE_EQ(ranking[0].score, 2.0 / 3.0);  // changed after both marks, and once more

    // Marks read from beside the log are on disk already; any change in the
    // list is not, until saved.
    EXPECT_FALSE(can.MarksUnsaved());
    ASSERT_TRUE(can.marks().Remove(0));
    EXPECT_TRUE(can.MarksUnsaved());
    ASSERT_TRUE(can.marks().Undo());
    EXPECT_TRUE(can.MarksUnsaved());  // the same marks, but a change made and taken back
    QString why;
    ASSERT_TRUE(can.Save(QString::fromStdString(dir.path() + "/saved.log"), why));
    EXPECT_FALSE(can.MarksUnsaved());
    can.Mark("");
    EXPECT_TRUE(can.MarksUnsaved());

    EXPECT_FALSE(can.Play(dir.path() + "/none.log", 1, error));
    EXPECT_FALSE(error.empty());
}

// Each capture, the channel opened or a recording played, starts with no
// figure of the one before: no rates, periods, heat, marks or frames.
TEST_F(CanRecordsTest, RatesMarksAndFramesBelongToTheCaptureTheyCameFrom) {
    // Reads as the window does until `frames` of the one identifier came.
    auto readUntil = [&](uint64_t frames) {
        return k57::test::WaitUntil([&] {
            can.Pump(20, k57::FilterMode::None, false);
            return !can.statistics().identifiers().empty() &&
                   can.statistics().identifiers()[0].frames >= frames;
        });
    };
    // A recording of 2023 with two marks, played first.
    const std::string path = dir.path() + "/old.log";
    std::ofstream(path) << "(1700000000.000000) can0 100#00\n"
                           "(1700000000.500000) can0 100#01\n"
                           "(1700000001.000000) can0 100#00\n";
    std::ofstream(k57::CanMarks::SidecarPath(path)) << "1700000000.45 door\n1700000000.9\n";
    std::string error;
    ASSERT_TRUE(can.Play(path, k57::CanPlayback::kAtOnce, error)) << error;
    EXPECT_EQ(can.Pump(20, k57::FilterMode::None, false), 3u);
    ASSERT_EQ(can.marks().size(), 2u);

    // Then the bus: one identifier at 100 frames a second.
    k57::sim::UnitOptions options;
    options.canFramesPerSecond = 100;
    options.canIdentifiers = 1;
    Plug(5, options);
    const int64_t opened = k57::CandumpNow();
    ASSERT_EQ(can.Open(session->Channel(), 6).result, k57::kReplyOk);
    EXPECT_EQ(can.marks().size(), 0u);
    ASSERT_TRUE(readUntil(100));
    ASSERT_EQ(can.statistics().identifiers().size(), 1u);
    EXPECT_GE(can.statistics().identifiers()[0].firstUs, opened);
    EXPECT_EQ(can.capture().Records().size(), 1u);
    can.frames().ForEach([&](const k57::LoggedFrame& f) { ASSERT_GE(f.us, opened); });
    can.Close();

    // Closed a while, then opened again: the message still reads 100/s.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    ASSERT_EQ(can.Open(session->Channel(), 6).result, k57::kReplyOk);
    ASSERT_TRUE(readUntil(100));
    const k57::BusStatistics::Identifier& again = can.statistics().identifiers()[0];
    EXPECT_NEAR(again.Rate(), 100.0, 10.0);
    EXPECT_NEAR(again.PeriodMs(), 10.0, 1.0);
    EXPECT_LE(again.frames, 200u);  // none of the first opening's
    can.Close();
}

}  // namespace
