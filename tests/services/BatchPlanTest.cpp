// A batch's template and values file checked together, and the settings
// text each unit gets from them.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "BatchPlan.h"
#include "DeviceInterface.h"
#include "ShippedCatalogue.h"
#include "TempDir.h"

namespace {

using Kind = k57::ValuesProblem::Kind;
using Problem = k57::SettingsProblem;

class BatchPlanTest : public ::testing::Test {
  protected:
    std::string Write(const char* name, const std::string& bytes) {
        std::string path = dir.path() + "/" + name;
        std::ofstream(std::filesystem::u8path(path), std::ios::binary) << bytes;
        return path;
    }
    k57::BatchPlan Plan(const std::string& templateText, const std::string& values) {
        return k57::BatchPlan::Read(Write("template.txt", templateText),
                                    Write("values.csv", values), list);
    }
    // "row,column key problem" for each of the values file's problems.
    static std::vector<std::string> Places(const k57::BatchPlan& plan) {
        std::vector<std::string> places;
        for (const k57::ValuesProblem& p : plan.valueProblems()) {
            places.push_back(std::to_string(p.row) + "," + std::to_string(p.column) + " " + p.key +
                             " " + std::to_string(p.rule ? int(*p.rule) : -1));
        }
        return places;
    }
    static std::string P(int row, int column, const std::string& key, Problem problem) {
        return std::to_string(row) + "," + std::to_string(column) + " " + key + " " +
               std::to_string(int(problem));
    }

    ParameterList list{k57::test::ShippedCatalogue()};
    k57::test::TempDir dir;
};

const char kTemplate[] = "MicLevel=10\r\nNoteKick=5\r\nUserNumber1=+70000000000\r\n";

TEST_F(BatchPlanTest, OneBadCellIsRefusedWithItsRowAndColumn) {
    k57::BatchPlan plan = Plan(kTemplate,
                               "serial,UserNumber1,PinCod\n"
                               "1,+79990000001,1234\n"
                               "2,+79990000002,1234\n"
                               "3,899900000003,1234\n");
    EXPECT_FALSE(plan.ok());
    EXPECT_EQ(Places(plan),
              (std::vector<std::string>{P(4, 2, "UserNumber1", Problem::NotPhoneNumber)}));
    EXPECT_EQ(plan.valueProblems()[0].value, "899900000003");
    EXPECT_TRUE(plan.templateFile().verdict.ok());
}

TEST_F(BatchPlanTest, EveryCellIsJudgedByTheSettingsRulesAndAllAreTold) {
    k57::BatchPlan plan = Plan(kTemplate,
                               "serial,MicLevel,PinCod,CanMode,NameBT,Colour\n"
                               "1,15,12a4,9,ok,x\n"         // three refused; Colour is the header's
                               "1,0,,1,\"two\nlines\",x\n"  // serial twice; too low; line break
                               "2,$A,5291,0,,x\n");  // good: "$A" is 10 as the editor takes it
    EXPECT_EQ(Places(plan), (std::vector<std::string>{
                                "1,6 Colour -1",
                                P(2, 2, "MicLevel", Problem::AboveMax),
                                P(2, 3, "PinCod", Problem::NotPin),
                                P(2, 4, "CanMode", Problem::NotAChoice),
                                "3,1 serial -1",
                                P(3, 2, "MicLevel", Problem::BelowMin),
                                P(3, 5, "NameBT", Problem::LineBreak),
                            }));
}

TEST_F(BatchPlanTest, TheTemplatesBadLinesAreNamedByLine) {
    k57::BatchPlan plan =
        Plan("MicLevel=10\nMicLevel=99\nColour=red\n\nno equals\n", "serial,MicLevel\n1,5\n");
    EXPECT_FALSE(plan.ok());
    std::vector<std::string> lines;
    for (const k57::SettingsLine& line : plan.templateFile().verdict.Problems()) {
        lines.push_back(std::to_string(line.number) + " " + line.key);
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"2 MicLevel", "3 Colour", "5 "}));
    EXPECT_TRUE(plan.valueProblems().empty());
    // A template that cannot be read at all says so, and the values are still checked.
    k57::BatchPlan missing = k57::BatchPlan::Read(dir.path() + "/none.txt",
                                                  Write("v.csv", "serial,MicLevel\n1,0\n"), list);
    EXPECT_FALSE(missing.templateFile().readable());
    EXPECT_EQ(Places(missing), (std::vector<std::string>{P(2, 2, "MicLevel", Problem::BelowMin)}));
}

TEST_F(BatchPlanTest, WhatOnlyTheTemplateAndARowTogetherDoIsCaughtBeforeTheFirstUnit) {
    // Every line and every cell is good (a number may have blanks before
    // it), but the first unit's whole text is more than the unit takes.
    std::string blanks(500, ' ');
    k57::BatchPlan tooLong = Plan("MicLevel=" + blanks + "10\r\n",
                                  "serial,AccLow\n"
                                  "1," +
                                      blanks +
                                      "10700\n"
                                      "2,11000\n");
    ASSERT_EQ(tooLong.valueProblems().size(), 1u);
    const k57::ValuesProblem& problem = tooLong.valueProblems()[0];
    EXPECT_EQ(problem.kind, Kind::TextTooLong);
    EXPECT_EQ(problem.row, 2);
    EXPECT_EQ(size_t(problem.count), tooLong.TextFor(1)->size());
    EXPECT_GT(size_t(problem.count), k57::kMaxSettingsText);
    EXPECT_TRUE(tooLong.templateFile().verdict.ok());

    // A template that sets nothing and a row of empty cells would leave the
    // unit with no PIN and no owners' numbers.
    k57::BatchPlan nothing = Plan("\r\n", "serial,PinCod\n5,\n6,1234\n");
    ASSERT_EQ(nothing.valueProblems().size(), 1u);
    EXPECT_EQ(nothing.valueProblems()[0].kind, Kind::SetsNothing);
    EXPECT_EQ(nothing.valueProblems()[0].row, 2);
}

TEST_F(BatchPlanTest, EachUnitGetsTheTemplateWithItsOwnValuesInPlace) {
    k57::BatchPlan plan = Plan(kTemplate,
                               "serial,NoteKick,PinCod,UserNumber1\n"
                               "1001,2,4321,+79990000001\n"
                               "1002,,,\n");
    ASSERT_TRUE(plan.ok()) << Places(plan).front();
    EXPECT_EQ(plan.OwnKeyCount(), 3);
    // A key of the template keeps its place; a key it lacks comes after.
    EXPECT_EQ(plan.TextFor(1001),
              "MicLevel=10\nNoteKick=2\nUserNumber1=+79990000001\nPinCod=4321\n");
    // Empty cells: the template's values, and for a key it has none of,
    // the unit's default (no line).
    EXPECT_EQ(plan.TextFor(1002), "MicLevel=10\nNoteKick=5\nUserNumber1=+70000000000\n");
    EXPECT_EQ(plan.TextFor(1003), std::nullopt);
}

TEST_F(BatchPlanTest, AFullFileOfBadCellsIsCheckedInSeconds) {
    // The most rows, every cell refused: each problem is looked up by its
    // place, never by going through all the others (which took minutes).
    std::string values = "serial";
    const char* keys[] = {"PinCod", "Balans", "UserNumber1", "KickSens", "MicLevel", "AccLow"};
    for (const char* key : keys) {
        values += std::string(",") + key;
    }
    values += "\n";
    for (int serial = 0; serial < k57::ValuesFile::kMaxUnits; ++serial) {
        values += std::to_string(serial);
        for (size_t i = 0; i < std::size(keys); ++i) {
            values += serial % 2 ? ",x" : ",日本";  // refused by a rule, or by the code page
        }
        values += "\n";
    }
    auto start = std::chrono::steady_clock::now();
    k57::BatchPlan plan = Plan(kTemplate, values);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(plan.valueProblems().size(), std::size(keys) * k57::ValuesFile::kMaxUnits);
    // Well under a second on a quiet machine; a busy one gets room.
    EXPECT_LT(seconds, 15.0);
}

}  // namespace
