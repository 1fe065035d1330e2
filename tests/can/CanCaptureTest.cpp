#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <random>

#include "CanCapture.h"

namespace {

std::string Line(unsigned id, unsigned dlc, unsigned long long data, unsigned stamp = 0) {
    char line[40];
    std::snprintf(line, sizeof line, "t%03X%X%016llX%04X\r", id, dlc, data, stamp);
    return line;
}

CanRecord Frame(unsigned id, unsigned long long data, unsigned dlc = 8) {
    CanRecord r;
    EXPECT_TRUE(k57::CanCapture::ParseCanFrame(Line(id, dlc, data), r));
    return r;
}

TEST(CanCapture, ParsesAFrameLine) {
    CanRecord r;
    ASSERT_TRUE(
        k57::CanCapture::ParseCanFrame("t12380102030405060708"
                                       "1A2B\r",
                                       r));
    EXPECT_EQ(r.id, 0x123);
    EXPECT_EQ(r.dlc, 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(r.data[i], i + 1);
        EXPECT_EQ(r.changed[i], 0);
        EXPECT_EQ(r.mask[i], 0xFF);
    }
    EXPECT_EQ(r.stamp, 6699);
    ASSERT_TRUE(k57::CanCapture::ParseCanFrame("tabcfffffffffffffffffffff\r", r));
    EXPECT_EQ(r.id, 0xABC);
    EXPECT_EQ(r.dlc, 15);
    EXPECT_EQ(r.Columns(), 8);  // never past the record's eight bytes
}

TEST(CanCapture, OnlyWholeFrameLinesAreFrames) {
    k57::CanCapture capture;
    for (const char* line : {"T12380102030405060708"
                             "1A2B\r",
                             "t12380102030405060708"
                             "1A2B",
                             "t12380102030405060708"
                             "1A2\r",
                             "t1238010203040506070G"
                             "1A2B\r",
                             "t12380102030405060708"
                             "1A2B \r",
                             "\r", "V1010\r"}) {
        capture.HandleLine(line, k57::FilterMode::None, false);
    }
    EXPECT_EQ(capture.MessageCounter(), 0);
    EXPECT_TRUE(capture.Records().empty());
}

TEST(CanCapture, RecordsStayInIdentifierOrder) {
    k57::CanCapture capture;
    for (unsigned id : {0x300u, 0x100u, 0x200u, 0x100u, 0x001u, 0xFFFu}) {
        capture.HandleLine(Line(id, 8, id), k57::FilterMode::None, false);
    }
    ASSERT_EQ(capture.Records().size(), 5u);
    EXPECT_EQ(capture.MessageCounter(), 6);
    for (size_t i = 1; i < capture.Records().size(); ++i) {
        EXPECT_LT(capture.Records()[i - 1].id, capture.Records()[i].id);
    }
}

TEST(CanCapture, MergeMarksChangedBitsAndKeepsTheFirstLength) {
    CanRecord r = Frame(0x10, 0x0F00000000000000ULL, 8);
    CanRecord same = Frame(0x10, 0x0F00000000000000ULL, 2);
    same.stamp = 77;
    EXPECT_FALSE(k57::CanCapture::MergeFrame(r, same, k57::FilterMode::None));
    EXPECT_EQ(r.dlc, 8);
    EXPECT_EQ(r.stamp, 77);
    EXPECT_EQ(r.changed[0], 0);

    EXPECT_TRUE(
        k57::CanCapture::MergeFrame(r, Frame(0x10, 0x1F00000000000000ULL), k57::FilterMode::None));
    EXPECT_EQ(r.changed[0], 0x10);
    EXPECT_EQ(r.mask[0], 0xFF);
    EXPECT_FALSE(k57::CanCapture::MergeFrame(r, Frame(0x11, 0), k57::FilterMode::None));  // another id
}

TEST(CanCapture, FiltersRetireBitsOrBytesOnceTheyChange) {
    CanRecord bit = Frame(0x10, 0x0F00000000000000ULL);
    EXPECT_TRUE(
        k57::CanCapture::MergeFrame(bit, Frame(0x10, 0x1F00000000000000ULL), k57::FilterMode::Bit));
    EXPECT_EQ(bit.mask[0], 0xEF);
    EXPECT_FALSE(
        k57::CanCapture::MergeFrame(bit, Frame(0x10, 0x0F00000000000000ULL), k57::FilterMode::Bit));
    EXPECT_EQ(bit.changed[0], 0);
    EXPECT_FALSE(
        k57::CanCapture::MergeFrame(bit, Frame(0x10, 0x1F00000000000000ULL), k57::FilterMode::None));

    CanRecord byte = Frame(0x10, 0x0F00000000000000ULL);
    EXPECT_TRUE(
        k57::CanCapture::MergeFrame(byte, Frame(0x10, 0x1F00000000000000ULL), k57::FilterMode::Byte));
    EXPECT_EQ(byte.mask[0], 0);
    EXPECT_EQ(k57::FilterModeFor(true, true), k57::FilterMode::Byte);
    EXPECT_EQ(k57::FilterModeFor(true, false), k57::FilterMode::Bit);
    EXPECT_EQ(k57::FilterModeFor(false, false), k57::FilterMode::None);
}

TEST(CanCapture, CaptureAndCounters) {
    k57::CanCapture capture;
    capture.HandleLine(Line(0x20, 8, 1), k57::FilterMode::Bit, true);  // new: counted, not captured
    EXPECT_EQ(capture.Counter(), 1);
    EXPECT_TRUE(capture.Captured().empty());
    for (unsigned long long v = 2; v < 40; ++v) {
        capture.HandleLine(Line(0x20, 8, v << 8), k57::FilterMode::None, true);
    }
    capture.HandleLine(Line(0x20, 8, 39ULL << 8), k57::FilterMode::None, true);  // unchanged
    EXPECT_EQ(capture.Counter(), 1);  // no filter: nothing counted
    EXPECT_EQ(capture.Captured().size(), 38u);
    capture.TrimCaptured();
    ASSERT_EQ(capture.Captured().size(), 30u);
    EXPECT_EQ(capture.Captured().back().data[6], 39);
    EXPECT_EQ(capture.Captured().front().data[6], 10);
}

TEST(CanCapture, AdaptersLinesOfEveryKindAreFrames) {
    CanRecord r;
    ASSERT_TRUE(k57::CanCapture::ParseCanFrame("t1A02AABB\r", r));  // only its bytes, no stamp
    EXPECT_EQ(r.id, 0x1A0u);
    EXPECT_EQ(r.dlc, 2);
    EXPECT_EQ(r.data[1], 0xBB);
    EXPECT_EQ(r.data[2], 0);
    EXPECT_FALSE(r.extended);
    ASSERT_TRUE(k57::CanCapture::ParseCanFrame("t1A02AABB1234\r", r));
    EXPECT_EQ(r.stamp, 0x1234);
    ASSERT_TRUE(k57::CanCapture::ParseCanFrame("T18DAF1103010203EA5F\r", r));
    EXPECT_EQ(r.id, 0x18DAF110u);
    EXPECT_TRUE(r.extended);
    EXPECT_EQ(r.data[2], 3);
    ASSERT_TRUE(k57::CanCapture::ParseCanFrame("r7DF0\r", r));
    EXPECT_TRUE(r.remote);
    ASSERT_TRUE(k57::CanCapture::ParseCanFrame("R18DB33F18\r", r));
    EXPECT_TRUE(r.remote && r.extended);
    EXPECT_EQ(r.dlc, 8);
    for (const char* bad :
         {"t1A02AABBCC\r", "t1A09\r", "T18DAF1101\r", "r7DF0AA\r", "x1A00\r", "t1A02AABB"}) {
        EXPECT_FALSE(k57::CanCapture::ParseCanFrame(bad, r)) << bad;
    }
}

TEST(CanCapture, ExtendedIdentifiersGetTheirOwnRowsAfterTheStandardOnes) {
    k57::CanCapture capture;
    for (const char* line :
         {"T000001232AABB\r", "t1231CC\r", "t0051DD\r", "T000000051EE\r", "r1230\r", "t1231CF\r"}) {
        capture.HandleLine(line, k57::FilterMode::None, false);
    }
    ASSERT_EQ(capture.Records().size(), 4u);
    EXPECT_EQ(capture.Records()[0].id, 0x005u);
    EXPECT_EQ(capture.Records()[1].id, 0x123u);
    EXPECT_FALSE(capture.Records()[1].remote);  // the request left its data alone
    EXPECT_EQ(capture.Records()[1].data[0], 0xCF);
    EXPECT_TRUE(capture.Records()[2].extended && capture.Records()[2].id == 5);
    EXPECT_TRUE(capture.Records()[3].extended && capture.Records()[3].id == 0x123);
    EXPECT_EQ(capture.MessageCounter(), 6);
}

// The table is searched through a copy of its keys: whatever mix of new
// identifiers, repeats and clearing comes, every identifier has one row,
// in order, holding its latest data, and a repeat never makes a second row.
TEST(CanCapture, TheKeyIndexFollowsEveryChangeOfTheTable) {
    k57::CanCapture capture;
    std::map<uint64_t, uint8_t> latest;  // key -> data[0] of its latest frame
    std::mt19937 random(57);
    for (int step = 0; step < 20000; ++step) {
        if (step % 5000 == 4999) {
            capture.ClearRecords();
            latest.clear();
        }
        CanRecord frame;
        frame.id = random() % 300;
        frame.extended = random() % 4 == 0;
        frame.dlc = 8;
        frame.data[0] = uint8_t(random());
        capture.HandleFrame(frame, k57::FilterMode::None, false);
        latest[frame.Key()] = frame.data[0];

        if (step % 97 == 0 || step % 5000 == 4999 || step % 5000 == 0) {
            ASSERT_EQ(capture.Records().size(), latest.size()) << "step " << step;
            auto expected = latest.begin();
            for (const CanRecord& r : capture.Records()) {
                ASSERT_EQ(r.Key(), expected->first) << "step " << step;
                ASSERT_EQ(r.data[0], expected->second) << "step " << step;
                ++expected;
            }
        }
    }
    // A cleared table takes the same identifiers again as new rows.
    capture.Reset();
    EXPECT_EQ(capture.MessageCounter(), 0);
    for (unsigned id : {7u, 3u, 7u}) {
        capture.HandleLine(Line(id, 8, id), k57::FilterMode::None, false);
    }
    ASSERT_EQ(capture.Records().size(), 2u);
    EXPECT_EQ(capture.Records()[0].id, 3u);
}

}  // namespace
