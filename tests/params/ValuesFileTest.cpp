// The values file of a batch: its comma-separated form, its encodings, its
// limits, and every structural problem named by row and column.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "CsvRecords.h"
#include "ShippedCatalogue.h"
#include "TempDir.h"
#include "ValuesFile.h"

namespace {

using Kind = k57::ValuesProblem::Kind;
using namespace std::string_literals;

// "row,column kind" for each problem, as a list that reads like the report.
std::vector<std::string> Places(const k57::ValuesFile& file) {
    std::vector<std::string> places;
    for (const k57::ValuesProblem& p : file.problems()) {
        places.push_back(std::to_string(p.row) + "," + std::to_string(p.column) + " " +
                         std::to_string(int(p.kind)));
    }
    return places;
}
std::string P(int row, int column, Kind kind) {
    return std::to_string(row) + "," + std::to_string(column) + " " + std::to_string(int(kind));
}

class ValuesFileTest : public ::testing::Test {
  protected:
    k57::ValuesFile Read(const std::string& bytes) { return k57::ReadValues(bytes, list); }
    std::string WriteFile(const std::string& bytes) {
        std::string path = dir.path() + "/values.csv";
        std::ofstream(std::filesystem::u8path(path), std::ios::binary) << bytes;
        return path;
    }

    ParameterList list{k57::test::ShippedCatalogue()};
    k57::test::TempDir dir;
};

TEST(CsvRecordsTest, QuotedCellsHoldCommasQuotesAndLineBreaks) {
    k57::CsvSplit split = k57::SplitCsv(
        "a,\"b,c\",\"say \"\"hi\"\"\"\r\n"
        "\"two\nlines\",,\"\"\n"
        "\n"  // blank: no record, but counted
        "last,row",
        10);
    ASSERT_EQ(split.problem, k57::CsvSplit::Problem::None);
    ASSERT_EQ(split.records.size(), 3u);
    EXPECT_EQ(split.records[0].cells, (std::vector<std::string>{"a", "b,c", "say \"hi\""}));
    EXPECT_EQ(split.records[1].cells, (std::vector<std::string>{"two\nlines", "", ""}));
    EXPECT_EQ(split.records[2].cells, (std::vector<std::string>{"last", "row"}));
    // A line break inside quotes does not start a row.
    EXPECT_EQ(split.records[1].row, 2);
    EXPECT_EQ(split.records[2].row, 4);
}

TEST(CsvRecordsTest, QuotingFaultsAndTooManyRowsStopTheReadingWhereTheyAre) {
    k57::CsvSplit unclosed = k57::SplitCsv("a,b\n1,\"open\n2,3\n", 10);
    EXPECT_EQ(unclosed.problem, k57::CsvSplit::Problem::UnclosedQuote);
    EXPECT_EQ(unclosed.problemRow, 2);
    EXPECT_EQ(unclosed.problemColumn, 2);
    k57::CsvSplit after = k57::SplitCsv("a,b\n1,2\n3,\"x\"y\n", 10);
    EXPECT_EQ(after.problem, k57::CsvSplit::Problem::TextAfterQuote);
    EXPECT_EQ(after.problemRow, 3);
    EXPECT_EQ(after.problemColumn, 2);
    EXPECT_EQ(k57::SplitCsv("a\nb\nc\n", 3).problem, k57::CsvSplit::Problem::None);
    EXPECT_EQ(k57::SplitCsv("a\nb\nc\nd", 3).problem, k57::CsvSplit::Problem::TooManyRows);
}

TEST_F(ValuesFileTest, UnitsAreReadByTheirSerialsInTheHeadersColumns) {
    k57::ValuesFile file = Read(
        "serial,UserNumber1,NameBT\r\n"
        "1001,+79990000001,\"Car, blue\"\r\n"
        "0042,,\r\n");
    ASSERT_TRUE(file.ok()) << Places(file).front();
    EXPECT_EQ(file.columns, (std::vector<std::string>{"serial", "UserNumber1", "NameBT"}));
    ASSERT_EQ(file.units.size(), 2u);
    EXPECT_EQ(file.units[0].serial, 1001u);
    EXPECT_EQ(file.units[0].cells[2], "Car, blue");
    EXPECT_EQ(file.units[1].serial, 42u);
    EXPECT_EQ(file.units[1].row, 3);
}

TEST_F(ValuesFileTest, UnitsCodePageAndUtf8ReadToTheSameBytes) {
    const std::string cp1251 = "serial,NameBT\n7,\xC0\xE2\xF2\xEE\n";  // "Авто"
    const std::string utf8 = "serial,NameBT\n7,Авто\n";
    for (const std::string& bytes : {cp1251, utf8, "\xEF\xBB\xBF"s + utf8}) {
        k57::ValuesFile file = Read(bytes);
        ASSERT_TRUE(file.ok());
        EXPECT_EQ(file.columns[0], "serial");  // the byte order mark is no part of it
        EXPECT_EQ(file.units.at(0).cells[1], "\xC0\xE2\xF2\xEE");
    }
    // A character Windows-1251 lacks is named where it is, never replaced.
    k57::ValuesFile outside = Read("serial,NameBT,Balans\n7,Авто€,ok\n8,日本,*100#\n");
    EXPECT_EQ(Places(outside), (std::vector<std::string>{P(3, 2, Kind::NotInCodePage)}));
}

TEST_F(ValuesFileTest, EveryStructuralProblemIsNamedByRowAndColumn) {
    k57::ValuesFile file = Read(
        "serial,MicLevel,Colour,MicLevel,\n"  // 1: unknown, twice, empty
        "1,5,x,6,\n"                          // 2 good
        "12a,5,x,6,\n"                        // 3 not a number
        "4294967296,5,x,6,\n"                 // 4 out of the unit's range
        "001,5,x,6,\n"                        // 5 serial 1 again
        "9,5\n"                               // 6 too few cells
        "10,5,x,6,,extra\n"                   // 7 too many
        "-3,5,x,6,\n");                       // 8 signed
    EXPECT_EQ(Places(file),
              (std::vector<std::string>{
                  P(1, 3, Kind::UnknownKey), P(1, 4, Kind::KeyTwice), P(1, 5, Kind::UnknownKey),
                  P(3, 1, Kind::NotASerial), P(4, 1, Kind::NotASerial), P(5, 1, Kind::SerialTwice),
                  P(6, 0, Kind::CellCount), P(7, 0, Kind::CellCount), P(8, 1, Kind::NotASerial)}));
    EXPECT_EQ(file.problems()[1].earlier, 2);  // MicLevel's first column
    EXPECT_EQ(file.problems()[5].earlier, 2);  // serial 1's first row
    EXPECT_EQ(file.problems()[6].count, 2);
    EXPECT_EQ(file.problems()[6].earlier, 5);
    EXPECT_EQ(k57::ParseSerial("4294967295"), 4294967295u);
    EXPECT_EQ(k57::ParseSerial("0"), 0u);
    EXPECT_FALSE(k57::ParseSerial(""));
    EXPECT_FALSE(k57::ParseSerial(" 1"));
}

TEST_F(ValuesFileTest, TheSerialColumnComesFirstOrTheHeaderIsRefused) {
    EXPECT_EQ(Places(Read("MicLevel,serial\n5,1\n")),
              (std::vector<std::string>{P(1, 1, Kind::SerialNotFirst), P(1, 2, Kind::UnknownKey)}));
    EXPECT_EQ(Places(Read("MicLevel\n5\n")),
              (std::vector<std::string>{P(1, 1, Kind::SerialNotFirst)}));
    EXPECT_EQ(Places(Read("serial,MicLevel\n")),
              (std::vector<std::string>{P(0, 0, Kind::NoUnits)}));
    EXPECT_EQ(Places(Read("")), (std::vector<std::string>{P(0, 0, Kind::NoUnits)}));
}

TEST_F(ValuesFileTest, LargeFilesAndTooManyRowsAreRefusedWhole) {
    std::string rows = "serial,MicLevel\n";
    for (int i = 0; i < k57::ValuesFile::kMaxUnits; ++i) {
        rows += std::to_string(i) + ",5\n";
    }
    k57::ValuesFile most = k57::ReadValuesFile(WriteFile(rows), list);
    EXPECT_TRUE(most.ok());
    EXPECT_EQ(int(most.units.size()), k57::ValuesFile::kMaxUnits);
    rows += "99999,5\n";
    EXPECT_EQ(Places(k57::ReadValuesFile(WriteFile(rows), list)),
              (std::vector<std::string>{P(0, 0, Kind::TooManyRows)}));
    std::string large = "serial,NameBT\n1," + std::string(k57::ValuesFile::kMaxSize, 'a') + "\n";
    EXPECT_EQ(Places(k57::ReadValuesFile(WriteFile(large), list)),
              (std::vector<std::string>{P(0, 0, Kind::TooLarge)}));
    EXPECT_EQ(k57::ReadValuesFile(dir.path() + "/none.csv", list).problems().at(0).kind,
              Kind::Unreadable);
}

}  // namespace
