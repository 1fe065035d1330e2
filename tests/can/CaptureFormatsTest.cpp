// PCAN traces in the file versions python-can does not write, and damaged
// BLF files: the damage found at its byte offset, the frames before it kept.

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "BlfReader.h"
#include "CanRecording.h"

namespace {

k57::CanRecording Read(const std::string& bytes, k57::CanLogFormat format) {
    std::istringstream in(bytes);
    k57::CanRecording recording;
    k57::ReadCanLog(in, format, recording, static_cast<long long>(bytes.size()));
    return recording;
}

TEST(TrcReader, Version11ReadsFramesAndCountsWhatIsNoFrame) {
    k57::CanRecording r = Read(
        ";$FILEVERSION=1.1\r\n"
        ";$STARTTIME=41766.4648963872\r\n"
        ";---+--   ----+----  --+--  ----+---  +  -+ -- -- -- -- -- -- --\r\n"
        "     1)      1059.9  Rx         0300  8  00 00 00 00 04 00 00 00 \r\n"
        "     2)      1298.9  Tx         0400  4  01 02 03 04 \r\n"
        "     3)      1346.8  Rx     18EFC034  2  0A 0B \r\n"
        "     4)      1547.0  Warng  FFFFFFFF  4  00 00 00 08  BUSHEAVY \r\n"
        "     5)      1600.0  Rx         0100  3  RTR \r\n"
        "     6)      1700.0  Rx         0300  8  00 00 \r\n"
        "     7)      1800.0  Rx         0800  1  00 \r\n"
        "     8)      zero    Rx         0300  1  00 \r\n"
        "     9)      1900.25 Error      0000  0 \r\n",
        k57::CanLogFormat::Trc);
    ASSERT_EQ(r.frames.size(), 4u);
    EXPECT_EQ(r.frames[0].us, 1059900);
    EXPECT_EQ(r.frames[0].dlc, 8);
    EXPECT_EQ(r.frames[0].data[4], 4);
    EXPECT_EQ(r.frames[1].id, 0x400u);
    EXPECT_TRUE(r.frames[2].extended);
    EXPECT_EQ(r.frames[2].id, 0x18EFC034u);
    EXPECT_EQ(r.frames[2].data[1], 0x0B);
    EXPECT_TRUE(r.frames[3].remote);
    EXPECT_EQ(r.frames[3].dlc, 3);
    EXPECT_EQ(r.skipped, 2);  // the warning and the error
    ASSERT_EQ(r.malformed, 3);
    EXPECT_EQ(r.problems[0].line, 9);   // fewer bytes than the length
    EXPECT_EQ(r.problems[1].line, 10);  // 0x800 is no standard identifier
    EXPECT_EQ(r.problems[2].line, 11);  // no time
}

TEST(TrcReader, Version1xBusAndReservedColumnsAnd2xColumnsAsDeclared) {
    k57::CanRecording v13 = Read(
        ";$FILEVERSION=1.3\n"
        "     1)      1841.5 1  Rx        0001 -  2  01 02\n",
        k57::CanLogFormat::Trc);
    ASSERT_EQ(v13.frames.size(), 1u);
    EXPECT_EQ(v13.frames[0].us, 1841500);
    EXPECT_EQ(v13.frames[0].data[1], 2);

    // 2.0: the columns are fixed; FD, error, status lines are no frames.
    k57::CanRecording v20 = Read(
        ";$FILEVERSION=2.0\n"
        ";$STARTTIME=42209.4075997106\n"
        "      1      1059.900 DT     0300 Rx 7  00 00 00 00 04 00 00\n"
        "      2      1298.945 DT 1CFFAA01 Tx 3  0A 0B 0C\n"
        "      3      1334.416 FD     0500 Tx 12 01 02 03 04 05 06 07 08 09 0A 0B 0C\n"
        "      4      1334.462 ER          Rx 04 00 02 00 00\n"
        "      5      1335.001 RR     0100 Rx 4\n"
        "      6      1340.000 ST          Rx 00 00 00 08\n"
        "      7      1350.000 DT     0300 Rx 9  00 00 00 00 04 00 00 00 00\n"
        "      8      1360.000 XX     0300 Rx 1  00\n",
        k57::CanLogFormat::Trc);
    ASSERT_EQ(v20.frames.size(), 3u);
    EXPECT_EQ(v20.frames[0].us, 1059900);
    EXPECT_EQ(v20.frames[0].dlc, 7);
    EXPECT_TRUE(v20.frames[1].extended);
    EXPECT_EQ(v20.frames[1].data[2], 0x0C);
    EXPECT_TRUE(v20.frames[2].remote);
    EXPECT_EQ(v20.frames[2].us, 1335001);
    EXPECT_EQ(v20.skipped, 3);
    ASSERT_EQ(v20.malformed, 2);
    EXPECT_EQ(v20.problems[0].line, 9);
    EXPECT_EQ(v20.problems[1].line, 10);

    // 2.1 with the columns in another order and a bus column.
    k57::CanRecording v21 = Read(
        ";$FILEVERSION=2.1\n"
        ";$COLUMNS=N,O,T,B,I,d,R,L,D\n"
        "      1         0.013 DT  1     01A0 Rx -  2    00 11\n",
        k57::CanLogFormat::Trc);
    ASSERT_EQ(v21.frames.size(), 1u);
    EXPECT_EQ(v21.frames[0].us, 13);
    EXPECT_EQ(v21.frames[0].id, 0x1A0u);
    EXPECT_EQ(v21.frames[0].data[1], 0x11);
}

// BLF files built byte by byte, uncompressed: a header, containers of objects.
void Put(std::string& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out += char(value >> (8 * i));
    }
}

std::string FileHeader() {
    std::string h = "LOGG";
    Put(h, 144, 4);
    h.resize(144, '\0');
    return h;
}

std::string Object(uint32_t type, const std::string& body, uint32_t declaredSize = 0) {
    std::string o = "LOBJ";
    Put(o, 32, 2);
    Put(o, 1, 2);
    Put(o, declaredSize ? declaredSize : 32 + body.size(), 4);
    Put(o, type, 4);
    Put(o, 1, 4);   // times in 10 us
    Put(o, 0, 4);
    Put(o, 123, 8);  // 1.23 ms
    return o + body + std::string(body.size() % 4, '\0');
}

std::string CanMessage(uint32_t id) {
    std::string m;
    Put(m, 1, 2);
    Put(m, 0, 1);
    Put(m, 2, 1);
    Put(m, id, 4);
    Put(m, 0x2211, 8);
    return Object(1, m);
}

std::string Container(const std::string& data, uint32_t declaredSize = 0) {
    std::string c = "LOBJ";
    Put(c, 16, 2);
    Put(c, 1, 2);
    Put(c, declaredSize ? declaredSize : 32 + data.size(), 4);
    Put(c, 10, 4);
    Put(c, 0, 8);  // stored, not compressed
    Put(c, data.size(), 4);
    Put(c, 0, 4);
    return c + data + std::string(data.size() % 4, '\0');
}

TEST(BlfReader, DamageEndsTheReadingAtItsOffsetWithTheFramesBeforeKept) {
    const std::string good = FileHeader() + Container(CanMessage(0x123) + CanMessage(0x80000456));
    k57::CanRecording whole = Read(good, k57::CanLogFormat::Blf);
    ASSERT_EQ(whole.frames.size(), 2u);
    EXPECT_EQ(whole.frames[0].us, 1230);
    EXPECT_EQ(whole.frames[0].dlc, 2);
    EXPECT_EQ(whole.frames[0].data[1], 0x22);
    EXPECT_TRUE(whole.frames[1].extended);
    EXPECT_EQ(whole.frames[1].id, 0x456u);
    EXPECT_EQ(whole.malformed, 0);

    struct Case {
        const char* what;
        std::string bytes;
        size_t frames;
        const char* offset;
    };
    const std::string second = Container(CanMessage(0x124));
    const Case cases[] = {
        {"cut in a container", good + second.substr(0, 40), 2, "byte 272"},
        {"object past the container's end", good + Container(Object(1, std::string(16, 'x'), 99)),
         2, "byte 272"},
        {"container over the limit", good + Container("", uint32_t(k57::kMaxBlfObject + 64)), 2,
         "byte 272"},
        {"container over the file", good + Container("", 4096), 2, "byte 272"},
        {"zero-size object", good + Container(Object(1, "", 0).replace(8, 4, 4, '\0')), 2,
         "byte 272"},
        {"garbage after the header", FileHeader() + "garbage garbage garbage", 0, "byte 144"},
        {"cut header", FileHeader().substr(0, 100), 0, "byte 0"},
    };
    for (const Case& c : cases) {
        k57::CanRecording r = Read(c.bytes, k57::CanLogFormat::Blf);
        EXPECT_EQ(r.frames.size(), c.frames) << c.what;
        ASSERT_EQ(r.problems.size(), 1u) << c.what;
        EXPECT_NE(r.problems[0].message.find(c.offset), std::string::npos)
            << c.what << ": " << r.problems[0].message;
    }
}

}  // namespace
