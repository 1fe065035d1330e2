// The capture file readers, with python-can as the oracle for the formats
// it writes (every frame of each, times to the microsecond), and the
// playback clock.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "CanPlayback.h"
#include "CanRecording.h"
#include "TempDir.h"

namespace {

std::string Describe(const k57::LoggedFrame& f) {
    char text[80];
    std::snprintf(text, sizeof text, "%lld %u %d %d %d ", static_cast<long long>(f.us),
                  unsigned(f.id), int(f.extended), int(f.remote), int(f.dlc));
    std::string line = text;
    for (int i = 0; i < (f.remote ? 0 : f.dlc); ++i) {
        std::snprintf(text, sizeof text, "%02X", f.data[i]);
        line += text;
    }
    return f.remote || f.dlc == 0 ? line + "-" : line;
}

TEST(CanRecording, EveryFormatReadsBackWhatPythonCanWroteAndReads) {
#ifdef _WIN32
    GTEST_SKIP() << "python-can runs on the build machine; the Linux build checks the readers";
#endif
    k57::test::TempDir dir;
    std::string command = "/usr/bin/python3 " K57_CAN_TESTS "/write_logs.py " + dir.path();
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::map<std::string, std::vector<std::string>> expected;
    char line[256];
    while (std::fgets(line, sizeof line, pipe)) {
        std::string text = line;
        text.pop_back();
        size_t blank = text.find(' ');
        expected[text.substr(0, blank)].push_back(text.substr(blank + 1));
    }
    ASSERT_EQ(pclose(pipe), 0) << "python-can could not write the logs";
    ASSERT_EQ(expected.size(), 6u);
    for (const auto& [name, frames] : expected) {
        k57::CanRecording recording;
        std::string error;
        ASSERT_TRUE(k57::ReadCanLogFile(dir.path() + "/" + name, recording, error)) << error;
        EXPECT_EQ(recording.malformed, 0) << name << ": " << recording.problems[0].message;
        // The error frame; python-can's trace writer leaves it out.
        EXPECT_EQ(recording.skipped, name.find(".trc") == std::string::npos ? 1 : 0) << name;
        std::vector<std::string> read;
        for (const k57::LoggedFrame& f : recording.frames) {
            read.push_back(Describe(f));
        }
        EXPECT_EQ(read, frames) << name;
    }
}

TEST(CanRecording, MalformedLinesAreReportedByNumberAndReadingGoesOn) {
    std::istringstream asc(
        "date Sat Sep 30 15:06:13.191 2017\n"
        "base hex  timestamps absolute\n"
        "Begin Triggerblock Sat Sep 30 15:06:13.191 2017\n"
        "   0.000000 Start of measurement\n"
        "   0.010000 1  1A0             Rx   d 2 01 02\n"
        "   0.020000 1  1A0             Rx   d 8 01 02\n"
        "   zero 1  1A0 Rx d 1 01\n"
        "   0.030000 1  800             Rx   d 1 01\n"
        "   0.040000 CANFD 1 Rx 123 0 0 8 8 01 02 03 04 05 06 07 08\n"
        "   0.050000 1  1FFFFFFFx       Tx   d 1 0A\n"
        "End TriggerBlock\n");
    k57::CanRecording recording;
    k57::ReadCanLog(asc, k57::CanLogFormat::Asc, recording);
    ASSERT_EQ(recording.frames.size(), 2u);
    EXPECT_EQ(recording.frames[0].us, 10000);
    EXPECT_TRUE(recording.frames[1].extended);
    EXPECT_EQ(recording.frames[1].id, 0x1FFFFFFFu);
    EXPECT_EQ(recording.malformed, 3);
    ASSERT_EQ(recording.problems.size(), 3u);
    EXPECT_EQ(recording.problems[0].line, 6);
    EXPECT_EQ(recording.problems[1].line, 7);
    EXPECT_EQ(recording.problems[2].line, 8);
    EXPECT_EQ(recording.skipped, 1);

    std::istringstream csv(
        "timestamp,arbitration_id,extended,remote,error,dlc,data\n"
        "1.5,0x123,0,0,0,2,AQI=\n"
        "1.6,0x123,0,0,0,2\n"
        "1.7,0x123,0,0,0,2,AQIDBA==\n"
        "x,0x123,0,0,0,0,\n"
        "1.8,0x10,1,1,0,4,\n");
    k57::CanRecording fromCsv;
    k57::ReadCanLog(csv, k57::CanLogFormat::Csv, fromCsv);
    ASSERT_EQ(fromCsv.frames.size(), 2u);
    EXPECT_EQ(fromCsv.frames[0].data[1], 2);
    EXPECT_TRUE(fromCsv.frames[1].remote);
    EXPECT_EQ(fromCsv.frames[1].dlc, 4);
    ASSERT_EQ(fromCsv.problems.size(), 3u);
    EXPECT_EQ(fromCsv.problems[0].line, 3);
    EXPECT_EQ(fromCsv.problems[2].line, 5);

    // candump: the window's own format, by default.
    std::istringstream candump("(1.000000) can0 123#01\n(1.5) can0 12#01\n(2.000000) can0 7FF#R\n");
    k57::CanRecording fromCandump;
    k57::ReadCanLog(candump, k57::CanLogFormatOf("x.log", "(1.000000) can0 123#01"), fromCandump);
    EXPECT_EQ(fromCandump.frames.size(), 2u);
    ASSERT_EQ(fromCandump.problems.size(), 1u);
    EXPECT_EQ(fromCandump.problems[0].line, 2);
}

// Every figure of a capture is kept per identifier (a kilobyte or so each,
// for the hunt, the statistics and the proposals), so a file of millions of
// different extended identifiers is refused, as one of too many frames is.
TEST(CanRecording, ACaptureOfMoreIdentifiersThanABusCarriesIsRefused) {
    k57::test::TempDir dir;
    auto write = [&](const std::string& name, uint32_t identifiers) {
        const std::string path = dir.path() + "/" + name;
        std::ofstream out(path);
        for (uint32_t i = 0; i < identifiers; ++i) {
            // Each identifier twice: the second time is no new one.
            for (int twice = 0; twice < 2; ++twice) {
                char line[64];
                std::snprintf(line, sizeof line, "(1700000000.%06u) can0 %08X#00\n", i % 1000000,
                              0x100000 + i);
                out << line;
            }
        }
        return path;
    };
    const uint32_t most = uint32_t(k57::CanRecording::kMaxIdentifiers);
    k57::CanRecording fits;
    std::string error;
    ASSERT_TRUE(k57::ReadCanLogFile(write("fits.log", most), fits, error)) << error;
    EXPECT_EQ(fits.frames.size(), 2u * most);
    k57::CanRecording tooMany;
    EXPECT_FALSE(k57::ReadCanLogFile(write("many.log", most + 1), tooMany, error));
    EXPECT_NE(error.find(std::to_string(most) + " идентификаторов"), std::string::npos) << error;
}

TEST(CanRecording, FormatsAreKnownByTheirNameOrFirstLine) {
    EXPECT_EQ(k57::CanLogFormatOf("a.ASC", ""), k57::CanLogFormat::Asc);
    EXPECT_EQ(k57::CanLogFormatOf("a.txt", "date Sat Sep 30"), k57::CanLogFormat::Asc);
    EXPECT_EQ(k57::CanLogFormatOf("a.csv", ""), k57::CanLogFormat::Csv);
    EXPECT_EQ(k57::CanLogFormatOf("a", "timestamp,arbitration_id"), k57::CanLogFormat::Csv);
    EXPECT_EQ(k57::CanLogFormatOf("a.log", "(1.0) can0 1#"), k57::CanLogFormat::Candump);
    EXPECT_EQ(k57::CanLogFormatOf("a.TRC", ""), k57::CanLogFormat::Trc);
    EXPECT_EQ(k57::CanLogFormatOf("a.txt", ";$FILEVERSION=2.0"), k57::CanLogFormat::Trc);
    EXPECT_EQ(k57::CanLogFormatOf("a.blf", ""), k57::CanLogFormat::Blf);
    EXPECT_EQ(k57::CanLogFormatOf("a.bin", std::string("LOGG\x90\0\0\0", 8)), k57::CanLogFormat::Blf);
    int64_t us = 0;
    EXPECT_TRUE(k57::ParseSeconds("1483389946.197865", us));
    EXPECT_EQ(us, 1483389946197865);
    EXPECT_TRUE(k57::ParseSeconds("0.0000019", us));
    EXPECT_EQ(us, 1);
    EXPECT_FALSE(k57::ParseSeconds("1.5s", us));
    EXPECT_FALSE(k57::ParseSeconds("", us));
}

TEST(CanPlayback, PlaysAtItsOwnPaceTenTimesFasterOrAtOnce) {
    std::vector<k57::LoggedFrame> frames;
    for (int i = 0; i < 10; ++i) {
        frames.push_back({5'000'000 + i * 100'000, 1, false, false, 0, {}});  // one every 100 ms
    }
    k57::CanPlayback real;
    real.Start(frames, 1, 0);
    EXPECT_EQ(real.Take(0, 100), std::make_pair(size_t(0), size_t(1)));
    EXPECT_EQ(real.Take(250'000, 100), std::make_pair(size_t(1), size_t(3)));
    EXPECT_EQ(real.RecordingTime(250'000), 5'250'000);
    EXPECT_EQ(real.Take(10'000'000, 4), std::make_pair(size_t(3), size_t(7)));  // at most 4
    EXPECT_FALSE(real.Finished());

    k57::CanPlayback fast;
    fast.Start(frames, 10, 0);
    EXPECT_EQ(fast.Take(50'000, 100).second, 6u);
    EXPECT_EQ(fast.RecordingTime(50'000), 5'500'000);

    k57::CanPlayback atOnce;
    atOnce.Start(frames, k57::CanPlayback::kAtOnce, 0);
    EXPECT_EQ(atOnce.Take(0, 100).second, 10u);
    EXPECT_TRUE(atOnce.Finished());
    EXPECT_EQ(atOnce.RecordingTime(0), 5'900'000);
}

}  // namespace
