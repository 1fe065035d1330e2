#include <gtest/gtest.h>

#include "ParameterList.h"
#include "SettingsLines.h"
#include "ShippedCatalogue.h"

namespace {

class SettingsTextTest : public ::testing::Test {
  protected:
    std::string Value(const char* key) { return list.ParameterAt(list.IndexOf(key)).value; }

    ParameterList list{k57::test::ShippedCatalogue()};
};

TEST_F(SettingsTextTest, ProducesOnlyValuesThatDifferFromTheirDefaults) {
    list.SetValuesFromText("");
    EXPECT_EQ(list.ValuesToText(), "");
    list.SetValue("NoteKick", "5");
    list.SetValue("MicLevel", "10");
    EXPECT_EQ(list.ValuesToText(), "MicLevel=10\nNoteKick=5\n");  // catalogue order
    list.SetValue("MicLevel", "8");
    list.SetValue("NoteKick", "03");
    EXPECT_EQ(list.ValuesToText(), "NoteKick=03\n");
}

TEST_F(SettingsTextTest, ReadsKeyValueLinesOverTheDefaults) {
    list.SetValue("KickSens", "1");
    list.SetValuesFromText(
        "PinCod=\r\n\r\nBalans=a=b=c\rMicLevel = 8\nmicLevel=9\nUnknown=1\nno equals here\n"
        "CanMode=99\nAccLow=1\nAccLow=12000");
    EXPECT_EQ(Value("PinCod"), "");
    EXPECT_EQ(Value("Balans"), "a=b=c");
    EXPECT_EQ(Value("MicLevel"), "8");  // "MicLevel " and "micLevel" are other keys
    EXPECT_EQ(Value("KickSens"), "7");  // back to its default
    EXPECT_EQ(Value("CanMode"), "99");  // stored as it is, unvalidated
    EXPECT_EQ(Value("AccLow"), "12000");
    EXPECT_EQ(list.ValuesToText(), "Balans=a=b=c\nCanMode=99\nAccLow=12000\n");
}

TEST_F(SettingsTextTest, LineEndsOfAnyKindReadAlike) {
    std::string produced;
    for (const char* text :
         {"MicLevel=3\nStoper=1\n", "MicLevel=3\r\nStoper=1", "\r\rMicLevel=3\r\n\nStoper=1\r"}) {
        list.SetValuesFromText(text);
        if (produced.empty()) {
            produced = list.ValuesToText();
        }
        EXPECT_EQ(list.ValuesToText(), produced) << text;
    }
    EXPECT_EQ(produced, "MicLevel=3\nStoper=1\n");
}

TEST_F(SettingsTextTest, ATextEndsAtItsFirstNul) {
    list.SetValuesFromText(std::string("MicLevel=3\n\0Stoper=1\n", 22));
    EXPECT_EQ(list.ValuesToText(), "MicLevel=3\n");
}

TEST(SettingsLines, AreNumberedAsAFileShowsThem) {
    std::vector<std::string> seen;
    for (const k57::TextLine& line : k57::SplitLines("a\r\nb\rc\n\n\r\nd\n\re")) {
        seen.push_back(std::to_string(line.number) + ":" + std::string(line.text));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"1:a", "2:b", "3:c", "4:", "5:", "6:d", "7:", "8:e"}));
    EXPECT_TRUE(k57::SplitLines("").empty());
    EXPECT_EQ(k57::SplitLines("a\r\n").size(), 1u);  // a last line end starts no line

    std::string withNul("a=1\nb=\0\nc=3", 11);
    EXPECT_EQ(k57::LineWithNul(k57::SplitLines(withNul)), 2);
    EXPECT_EQ(k57::UntilNul(withNul), "a=1\nb=");
    EXPECT_EQ(k57::LineWithNul(k57::SplitLines("a=1\nb=2")), 0);
}

TEST_F(SettingsTextTest, ProducedTextReadsBackTheSame) {
    list.SetValuesFromText(
        "PinCod=1234\nUserNumber1=+79001234567\nNameBT=\xCA\x35\x37 car\nMicLevel=08\n");
    std::string text = list.ValuesToText();
    list.SetValuesFromText("");
    list.SetValuesFromText(text);
    EXPECT_EQ(list.ValuesToText(), text);
}

}  // namespace
