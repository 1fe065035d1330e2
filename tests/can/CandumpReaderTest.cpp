// The candump log reader on what CanFrameLog writes and on what it must
// pass over: CAN FD lines, malformed lines (noted with their numbers).

#include <gtest/gtest.h>

#include <sstream>

#include "CanFrameLog.h"
#include "CandumpReader.h"

namespace {

using k57::CandumpFrame;
using k57::CandumpReader;

// A log in memory and its reader.
struct Log {
    explicit Log(const std::string& text) : in(text), reader(in) {}
    std::vector<CandumpFrame> Frames() {
        std::vector<CandumpFrame> frames;
        CandumpFrame frame;
        while (reader.Next(frame)) {
            frames.push_back(frame);
        }
        return frames;
    }
    std::istringstream in;
    CandumpReader reader;
};

TEST(CandumpReaderTest, ReadsBackWhatTheFrameLogWrites) {
    k57::CanFrameLog written;
    CanRecord standard;
    standard.id = 0x1A0;
    standard.dlc = 3;
    standard.data[0] = 0xDE;
    standard.data[1] = 0xAD;
    standard.data[2] = 0x01;
    CanRecord extended;
    extended.id = 0x18FEF100;
    extended.extended = true;
    extended.dlc = 8;
    for (int i = 0; i < 8; ++i) {
        extended.data[i] = uint8_t(0x10 * i + i);
    }
    CanRecord remote;
    remote.id = 0x7FF;
    remote.remote = true;
    remote.dlc = 4;
    written.Add(standard, 1436509052249713);
    written.Add(extended, 1436509052250000);
    written.Add(remote, 5);
    std::ostringstream out;
    written.WriteCandump(out);

    Log log(out.str());
    std::vector<CandumpFrame> frames = log.Frames();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].microseconds, 1436509052249713);
    EXPECT_EQ(frames[0].interface, "k57");
    EXPECT_EQ(frames[0].id, 0x1A0u);
    EXPECT_FALSE(frames[0].extended);
    ASSERT_EQ(frames[0].length, 3);
    EXPECT_EQ(frames[0].data[1], 0xAD);
    EXPECT_EQ(frames[1].id, 0x18FEF100u);
    EXPECT_TRUE(frames[1].extended);
    EXPECT_EQ(frames[1].length, 8);
    EXPECT_EQ(frames[1].data[7], 0x77);
    EXPECT_TRUE(frames[2].remote);
    EXPECT_EQ(frames[2].length, 4);
    EXPECT_EQ(frames[2].microseconds, 5);
    EXPECT_EQ(log.reader.malformed(), 0);
}

TEST(CandumpReaderTest, SkipsCanFdAndNotesMalformedLinesByNumber) {
    const char* text =
        "(1.000001) can0 123#11\n"            // 1
        "(1.5) can0 123##1112233\n"          // 2: CAN FD
        "\n"                                 // 3: empty, passed over
        "1.000002 can0 123#11\n"             // 4: no stamp
        "(1.000003) can0 12#11\n"            // 5: 2-digit identifier
        "(1.000004) can0 800#11\n"           // 6: above 11 bits
        "(1.000005) can0 123#1\n"            // 7: half a byte
        "(1.000006) can0 123#001122334455667788\n"  // 8: 9 bytes
        "(1.000007) can0 123#R9\n"           // 9: remote length above 8
        "(1.000008) can0 123#11 extra\n"     // 10
        "(1.000009) can0 1234567G#11\n"      // 11: not hex
        "(2.25) vcan1 0000007F#11.22_9\r\n"; // 12: dots, a length code, CR LF
    Log log(text);
    std::vector<CandumpFrame> frames = log.Frames();
    const CandumpReader& reader = log.reader;
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[1].microseconds, 2250000);
    EXPECT_EQ(frames[1].id, 0x7Fu);
    EXPECT_TRUE(frames[1].extended);
    EXPECT_EQ(frames[1].length, 2);
    EXPECT_EQ(frames[1].data[1], 0x22);
    EXPECT_EQ(reader.canFdSkipped(), 1);
    EXPECT_EQ(reader.malformed(), 8);
    std::vector<int> lines;
    for (const CandumpReader::Problem& problem : reader.problems()) {
        lines.push_back(problem.line);
    }
    EXPECT_EQ(lines, (std::vector<int>{4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(reader.problems()[0].message, "no \"(seconds.micros)\" stamp");
    EXPECT_EQ(reader.lineNumber(), 12);
}

}  // namespace
