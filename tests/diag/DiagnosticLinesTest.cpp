#include <gtest/gtest.h>

#include "DiagnosticLines.h"

namespace {

std::string Axes(const k57::DiagnosticLines::Result& r) {
    std::string s;
    for (const auto& a : r.axis) {
        s += (a ? std::to_string(*a) : "-") + " ";
    }
    return s;
}

TEST(DiagnosticLines, ReadingsAreTruncatedToIntegers) {
    k57::DiagnosticLines lines;
    auto r = lines.Feed("\r\n$AccD:\t12.9,\t-0.5,\t-7.99\r\n");
    EXPECT_EQ(Axes(r), "12 0 -7 ");
    EXPECT_TRUE(r.events.empty());
    r = lines.Feed("\r\n$AccD:\tabc,\t1e3,\t-2.5e\r\n");
    EXPECT_EQ(Axes(r), "0 1000 -2 ");
}

TEST(DiagnosticLines, EveryLineIsReadWithinItselfAndTheLastReadingWins) {
    k57::DiagnosticLines lines;
    auto r = lines.Feed(
        "\r\n$AccD:\t1,\t2,\t3\r\n$AccD:\t4,\t5,\t6\r\n$VS: Low, 11.2\tV\r\n"
        "$AccD:\t7,\t8\r\n$Can: Door\r\n");
    EXPECT_EQ(Axes(r), "7 8 6 ");
    EXPECT_EQ(r.events, (std::vector<std::string>{"$VS: Low, 11.2\tV", "$Can: Door"}));
}

TEST(DiagnosticLines, ALineWaitsForItsEnd) {
    k57::DiagnosticLines lines;
    auto r = lines.Feed("\r\n$AccD:\t1,\t2");
    EXPECT_EQ(Axes(r), "- - - ");
    r = lines.Feed(",\t3\r\n$Ac");
    EXPECT_EQ(Axes(r), "1 2 3 ");
    r = lines.Feed("cE: Move\r\n");
    EXPECT_EQ(r.events, std::vector<std::string>{"$AccE: Move"});
    EXPECT_TRUE(lines.Feed("").events.empty());
}

TEST(DiagnosticLines, UnknownTagsAndOtherTextAreIgnored) {
    k57::DiagnosticLines lines;
    auto r =
        lines.Feed("\r\n$accd:\t1,\t2,\t3\r\n$AccD\t1,\t2,\t3\r\nnoise $XX: y\r\n$VS: Event\r\n");
    EXPECT_EQ(Axes(r), "- - - ");
    EXPECT_EQ(r.events, std::vector<std::string>{"$VS: Event"});
}

TEST(DiagnosticLines, ATextWithoutLineEndsIsNotKeptForEver) {
    k57::DiagnosticLines lines;
    lines.Feed(std::string(k57::DiagnosticLines::kMaxPending + 1, 'x'));
    auto r = lines.Feed("$VS: a\r\n");
    EXPECT_EQ(r.events, std::vector<std::string>{"$VS: a"});
}

TEST(DiagnosticLines, HugeReadingsStayWithinTheInteger) {
    EXPECT_EQ(k57::ReadingValue("1e40"), INT32_MAX);
    EXPECT_EQ(k57::ReadingValue("-1e40"), INT32_MIN);
    EXPECT_EQ(k57::ReadingValue(" +7.9x"), 7);
    EXPECT_EQ(k57::ReadingValue("."), 0);
}

}  // namespace
