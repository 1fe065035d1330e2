// The trace's ring and its lines: plain code, no port.

#include <gtest/gtest.h>

#include "FrameTrace.h"
#include "Trace.h"
#include "TraceFormat.h"

namespace {

using k57::Trace;
using k57::TraceEntry;

TraceEntry EntryOfBytes(size_t n) {
    TraceEntry entry;
    entry.direction = TraceEntry::Direction::In;
    entry.what = "noise";
    for (size_t i = 0; i < n; ++i) {
        entry.bytes.push_back(uint8_t(i));
    }
    return entry;
}

TEST(TraceFormatTest, DumpsSixteenBytesALineWithTheirText) {
    const uint8_t bytes[] = {0xC9, 0x00, 0x05, 0x00, 'P',  'i',  'n',  '=', '1',
                             '\n', 0x00, 0x00, 0x00, 0x00, 0xFF, 0x7F, 'x', 'y'};
    std::vector<std::string> lines = k57::HexDump(bytes, sizeof bytes);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "0000  C9 00 05 00 50 69 6E 3D  31 0A 00 00 00 00 FF 7F  ....Pin=1.......");
    EXPECT_EQ(lines[1].substr(0, 12), "0010  78 79 ");
    EXPECT_EQ(lines[1].substr(lines[1].size() - 4), "  xy");
    // The text column starts at the same place on a short line.
    EXPECT_EQ(lines[0].size() - 16, lines[1].size() - 2);
}

TEST(TraceFormatTest, HeadingSaysDirectionMessageLengthAndResult) {
    Trace trace;
    trace.SetOn(true);
    const uint8_t frame[] = {0x0B, 0x80, 0x04, 0x00, 1, 2, 3, 4, 0, 0, 0, 0};
    k57::frametrace::Received(frame, sizeof frame, -3, "expected TextMessage (150)", trace);
    k57::frametrace::Note("no reply within 4000 ms", -2, trace);
    std::vector<std::string> lines = trace.Lines();
    ASSERT_EQ(lines.size(), 3u);
    // "2026-05-14 14:03:07.123  +0.000 s  RX  ..."
    EXPECT_EQ(lines[0].substr(4, 1), "-");
    EXPECT_EQ(lines[0].substr(19, 1), ".");
    EXPECT_NE(lines[0].find(" s  RX  IdInfoMessage (11), expected TextMessage (150)  12 bytes  "
                            "BadReply (-3)"),
              std::string::npos)
        << lines[0];
    EXPECT_NE(lines[2].find("--  no reply within 4000 ms  NoReply (-2)"), std::string::npos)
        << lines[2];
}

TEST(TraceRingTest, NeverHoldsMoreLinesThanItsBound) {
    Trace trace(50);
    trace.SetOn(true);
    for (size_t i = 0; i < 300; ++i) {
        trace.Record(EntryOfBytes(i % 90));
        ASSERT_LE(trace.LineCount(), 50u);
    }
    EXPECT_EQ(trace.Lines().size(), trace.LineCount());
    EXPECT_GT(trace.LineCount(), 40u);  // it is not emptied either

    // One entry longer than the whole ring keeps its start only.
    trace.Record(EntryOfBytes(5000));
    std::vector<TraceEntry> kept = trace.Entries();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_LE(trace.Lines().size(), 50u);
    EXPECT_NE(kept[0].what.find("of 5000 bytes kept"), std::string::npos);
}

TEST(TraceRingTest, HandsOverOnlyNewerEntriesAndRecordsNothingWhileOff) {
    Trace trace;
    k57::frametrace::Note("before", 0, trace);
    EXPECT_TRUE(trace.Entries().empty());

    trace.SetOn(true);
    std::vector<std::string> sunk;
    int sink = trace.AddSink([&](const std::vector<std::string>& lines) {
        sunk.insert(sunk.end(), lines.begin(), lines.end());
    });
    k57::frametrace::Note("first", 0, trace);
    uint64_t seen = trace.Entries().back().sequence;
    k57::frametrace::Note("second", 0, trace);
    std::vector<TraceEntry> newer = trace.Entries(seen);
    ASSERT_EQ(newer.size(), 1u);
    EXPECT_EQ(newer[0].what, "second");
    EXPECT_GE(newer[0].sinceUs, 0);
    EXPECT_EQ(sunk.size(), 2u);

    trace.RemoveSink(sink);
    trace.Clear();
    k57::frametrace::Note("third", 0, trace);
    EXPECT_EQ(sunk.size(), 2u);
    ASSERT_EQ(trace.Entries().size(), 1u);
    EXPECT_GT(trace.Entries()[0].sequence, seen);
}

}  // namespace
