#include <gtest/gtest.h>

#include <fstream>

#include "SettingsService.h"
#include "ShippedCatalogue.h"
#include "TempDir.h"
#include "UnitBytes.h"

namespace {

using Problem = k57::SettingsProblem;
using namespace std::string_literals;

class SettingsServiceTest : public ::testing::Test {
  protected:
    std::string Value(const char* key) { return list.ParameterAt(list.IndexOf(key)).value; }

    // "number key problem" for each problem line; problems by their number.
    static std::vector<std::string> Problems(const k57::SettingsVerdict& verdict) {
        std::vector<std::string> seen;
        for (const k57::SettingsLine& line : verdict.Problems()) {
            seen.push_back(std::to_string(line.number) + " " + line.key + " " +
                           std::to_string(int(*line.problem)));
        }
        return seen;
    }
    static std::string P(int number, const std::string& key, Problem problem) {
        return std::to_string(number) + " " + key + " " + std::to_string(int(problem));
    }

    ParameterList list{k57::test::ShippedCatalogue()};
    k57::SettingsService settings{list};
};

TEST_F(SettingsServiceTest, EachBadLineIsNamedByItsNumberKeyAndProblem) {
    k57::SettingsVerdict verdict = settings.Check((
        "MicLevel=10\r\n"     // 1 good
        "Colour=red\r\n"      // 2
        "MicLevel=abc\r\n"    // 3
        "KickSens=-1\r\n"     // 4
        "AccLow=20000\r\n"    // 5
        "CanMode=9\r\n"       // 6
        "PinCod=123456\r\n"   // 7
        "Balans=*1#\r\n"      // 8
        "no equals here\r\n"  // 9
        "\r\n"                // 10, blank: no line at all
        "NameBT=a\0b\r\n"     // 11
        "MicLevel=12\r\n"     // 12, set by line 1 already
        "CanMode=abc\n"       // 13
        "Stoper=1"s));        // 14 good
    EXPECT_EQ(Problems(verdict), (std::vector<std::string>{
                                     P(2, "Colour", Problem::UnknownKey),
                                     P(3, "MicLevel", Problem::NotANumber),
                                     P(4, "KickSens", Problem::BelowMin),
                                     P(5, "AccLow", Problem::AboveMax),
                                     P(6, "CanMode", Problem::NotAChoice),
                                     P(7, "PinCod", Problem::TooLong),
                                     P(8, "Balans", Problem::TooShort),
                                     P(9, "", Problem::NotKeyValue),
                                     P(11, "NameBT", Problem::Nul),
                                     P(12, "MicLevel", Problem::DuplicateKey),
                                     P(13, "CanMode", Problem::NotAChoice),
                                 }));
    EXPECT_EQ(verdict.Problems()[9].earlierLine, 1);
    EXPECT_EQ(verdict.lines.size(), 13u);
    EXPECT_FALSE(verdict.ok());
    EXPECT_TRUE(settings.Check("MicLevel=10\nStoper=1\n\n").ok());
}

// Enumeration values are compared as the editor writes and selects them.
TEST_F(SettingsServiceTest, AnEnumerationTakesItsItemsNumbersOnly) {
    for (const char* good : {"CanMode=0", "CanMode=7", "NoteKick=6", "Stoper=0"}) {
        EXPECT_TRUE(settings.Check(good).ok()) << good;
    }
    for (std::string bad : {"CanMode=8", "CanMode=-1", "CanMode=02", "CanMode=$2", "CanMode= 2",
                            "CanMode=", "Stoper=2", "NoteKick=x"}) {
        std::string key = bad.substr(0, bad.find('='));
        EXPECT_EQ(Problems(settings.Check(bad)),
                  std::vector<std::string>{P(1, key, Problem::NotAChoice)})
            << bad;
    }
}

TEST_F(SettingsServiceTest, TypedAssignmentsAreJudgedAsTheUnitsBytes) {
    k57::SettingsVerdict verdict = settings.CheckAssignments(
        {"NameBT=Лада", "NameBT=x", "PinCod=12345", "MicLevel", "Ключ=1", "CanMode=abc",
         "ImmoBT=a\nb", "MicLevel=11"});
    EXPECT_EQ(verdict.lines[0].value, k57::test::Cp1251("Лада"));
    EXPECT_EQ(Problems(verdict), (std::vector<std::string>{
                                     P(2, "NameBT", Problem::DuplicateKey),
                                     P(3, "PinCod", Problem::TooLong),
                                     P(4, "", Problem::NotKeyValue),
                                     P(5, k57::test::Cp1251("Ключ"), Problem::UnknownKey),
                                     P(6, "CanMode", Problem::NotAChoice),
                                     P(7, "ImmoBT", Problem::LineBreak),
                                 }));
    // A character the code page lacks is refused, never replaced by "?".
    verdict = settings.CheckAssignments({"NameBT=Lädä", "Näme=1"});
    EXPECT_EQ(Problems(verdict), (std::vector<std::string>{
                                     P(1, "NameBT", Problem::NotInCodePage),
                                     P(2, "", Problem::NotInCodePage),
                                 }));
}

TEST_F(SettingsServiceTest, TheUnitsValuesAreKeptAndAFilesBadLinesKeepTheirDefaults) {
    const std::string text = "MicLevel=99\nCanMode=9\nColour=red\nKickSens=3\nKickSens=4\n";
    list.SetValue("AccLow", "12000");
    k57::SettingsVerdict verdict = settings.LoadUnitText(text + "\0NoteKick=5\n"s);
    EXPECT_EQ(Value("MicLevel"), "99");
    EXPECT_EQ(Value("CanMode"), "9");
    EXPECT_EQ(Value("KickSens"), "4");  // the text reader's rule: the last one counts
    EXPECT_EQ(Value("AccLow"), "10700");
    EXPECT_EQ(Value("NoteKick"), "3");  // after the NUL: not the unit's text
    EXPECT_EQ(verdict.Problems().size(), 4u);

    settings.LoadGoodLines(settings.Check(text));
    EXPECT_EQ(Value("MicLevel"), "8");
    EXPECT_EQ(Value("CanMode"), "1");
    EXPECT_EQ(Value("KickSens"), "3");  // the repetition is refused

    settings.Apply(settings.CheckAssignments({"NoteKick=5", "MicLevel=0"}));
    EXPECT_EQ(list.ValuesToText(), "NoteKick=5\nKickSens=3\n");
}

TEST_F(SettingsServiceTest, AFileIsRefusedWholeOrJudgedLineByLine) {
    k57::test::TempDir dir;
    std::string path = dir.path() + "/settings.txt";
    std::ofstream(path, std::ios::binary) << "MicLevel=10\r\nStoper=5\r\n";
    k57::SettingsFileVerdict file = settings.ReadFile(path);
    ASSERT_TRUE(file.readable());
    EXPECT_EQ(Problems(file.verdict), std::vector<std::string>{P(2, "Stoper", Problem::NotAChoice)});

    std::ofstream(path, std::ios::binary | std::ios::trunc) << "A=1\r\n\0"s;
    file = settings.ReadFile(path);
    EXPECT_EQ(file.problem, k57::SettingsFile::Problem::NulByte);
    EXPECT_TRUE(file.verdict.lines.empty());
    EXPECT_EQ(settings.ReadFile(dir.path() + "/missing.txt").problem,
              k57::SettingsFile::Problem::Unreadable);
}

}  // namespace
