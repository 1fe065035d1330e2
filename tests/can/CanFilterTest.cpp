#include <gtest/gtest.h>

#include "CanFilter.h"

namespace {

k57::CanFilter Parsed(const std::string& text) {
    k57::CanFilter filter;
    std::string error;
    EXPECT_TRUE(k57::CanFilter::Parse(text, filter, error)) << text << ": " << error;
    return filter;
}

TEST(CanFilter, IncludesExcludesAndMasksStandardAndExtendedIdentifiers) {
    k57::CanFilter filter = Parsed("+1A0 -7DF +400/700");
    EXPECT_TRUE(filter.Passes(0x1A0, false));
    EXPECT_TRUE(filter.Passes(0x400, false));
    EXPECT_TRUE(filter.Passes(0x4FF, false));
    EXPECT_FALSE(filter.Passes(0x500, false));
    EXPECT_FALSE(filter.Passes(0x7DF, false));
    EXPECT_FALSE(filter.Passes(0x1A1, false));
    EXPECT_FALSE(filter.Passes(0x1A0, true));  // an extended 1A0 is another identifier

    // Excludes alone: everything else passes. An exclude wins over an
    // include, in whatever order.
    k57::CanFilter quiet = Parsed("-7DF,-700/780");
    EXPECT_TRUE(quiet.Passes(0x123, false));
    EXPECT_TRUE(quiet.Passes(0x7DF, true));
    EXPECT_FALSE(quiet.Passes(0x7DF, false));
    EXPECT_FALSE(quiet.Passes(0x77F, false));
    EXPECT_TRUE(quiet.Passes(0x780, false));
    k57::CanFilter both = Parsed("-4F0 +400/700");
    EXPECT_FALSE(both.Passes(0x4F0, false));
    EXPECT_TRUE(both.Passes(0x4F1, false));

    // More than three digits: extended; masks span 29 bits.
    k57::CanFilter extended = Parsed("  +18DA0000/1FFF0000\t-18DA00F1 ");
    EXPECT_TRUE(extended.Passes(0x18DA10F1, true));
    EXPECT_FALSE(extended.Passes(0x18DA00F1, true));
    EXPECT_FALSE(extended.Passes(0x18DB10F1, true));
    EXPECT_FALSE(extended.Passes(0x0F1, false));
    EXPECT_TRUE(Parsed("+000007FF").Passes(0x7FF, true));

    EXPECT_TRUE(Parsed("").empty());
    EXPECT_TRUE(Parsed(" , ").Passes(0x123, false));
}

TEST(CanFilter, BadWordsAreRefusedByNameAndTheTextReadsBack) {
    k57::CanFilter filter = Parsed("+1A0");
    std::string error;
    for (const char* bad : {"1A0", "+", "+800", "+1G0", "+20000000", "+1A0/800", "+1A0/",
                            "+123456789", "++1"}) {
        EXPECT_FALSE(k57::CanFilter::Parse(bad, filter, error)) << bad;
        EXPECT_NE(error.find(bad), std::string::npos) << error;
    }
    EXPECT_TRUE(filter.Passes(0x1A0, false));  // a refused line leaves the filter as it was
    EXPECT_FALSE(filter.Passes(0x1A1, false));

    std::string text = Parsed("+1a0 -7df/7f0 +18da00f1/1fffff00").Text();
    EXPECT_EQ(text, "+1A0 -7DF/7F0 +18DA00F1/1FFFFF00");
    EXPECT_EQ(Parsed(text).Text(), text);
}

}  // namespace
