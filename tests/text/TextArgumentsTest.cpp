#include <gtest/gtest.h>

#include "TextArguments.h"

namespace {

using k57::WithArguments;

TEST(TextArguments, FillsEachMarkerWhereTheSentencePutsIt) {
    EXPECT_EQ(WithArguments("(допустимо от %1 до %2)", {"1", "14"}), "(допустимо от 1 до 14)");
    // Another language may name the second first.
    EXPECT_EQ(WithArguments("%2 .. %1 .. %2", {"a", "b"}), "b .. a .. b");
    EXPECT_EQ(WithArguments("no markers", {"x"}), "no markers");
}

TEST(TextArguments, WhatTheUserGaveIsNeverTakenForAMarker) {
    // A typed value or a file name holding "%2" stays as it is.
    EXPECT_EQ(WithArguments("%1 - многовато будет.", {"%2"}), "%2 - многовато будет.");
    EXPECT_EQ(WithArguments("file %1: %2", {"a%2b", "gone"}), "file a%2b: gone");
    // A marker without its argument and a lone percent sign are kept.
    EXPECT_EQ(WithArguments("%1 and %3, 100%", {"one"}), "one and %3, 100%");
    EXPECT_EQ(WithArguments("%", {}), "%");
}

}  // namespace
