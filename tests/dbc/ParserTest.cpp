// The DBC parser: what it keeps of each statement, what it skips by
// keyword, its diagnostics with their lines, the file's code page and
// numbers read the same under any locale.

#include <gtest/gtest.h>

#include <clocale>
#include <locale>

#include "DbcFiles.h"
#include "Decoder.h"

namespace {

using namespace k57::dbc;

const char* kFull = R"(VERSION "1.2"

NS_ :
	NS_DESC_
	CM_
	BA_DEF_
	SIG_VALTYPE_

BS_:

BU_: ECU GW

VAL_TABLE_ Gears 0 "P" 1 "R" ;

BO_ 256 Engine: 8 ECU
 SG_ Speed : 0|16@1+ (0.005,-3.2E+2) [-320|1E3] "km/h" GW,ECU
 SG_ Gear : 16|3@1+ (1,0) [0|7] "" Vector__XXX

BO_TX_BU_ 256 : ECU,GW;

CM_ "A database
over two lines";
CM_ BU_ ECU "engine unit";
CM_ BO_ 256 "Engine state";
CM_ SG_ 256 Speed "Vehicle speed, \"filtered\"
second line";
BA_DEF_ BO_ "GenMsgCycleTime" INT 0 65535;
BA_DEF_DEF_ "GenMsgCycleTime" 100;
BA_ "GenMsgCycleTime" BO_ 256 20;
BA_ "GenMsgCycleTime" BO_ 256 10;
VAL_ 256 Gear 0 "P" 1 "R" 2 "N" 3 "D" ;
SIG_GROUP_ 256 All 1 : Speed Gear;
EV_ Env: 0 [0|1] "" 0 1 DUMMY_NODE_VECTOR0 Vector__XXX;
VAL_ Env 0 "off" ;
)";

TEST(ParserTest, KeepsEveryFieldOfTheStatementsItReads) {
    ParseResult result = Parse(kFull, Encoding::Cp1252, "full.dbc");
    ASSERT_TRUE(result.diagnostics.empty()) << result.diagnostics[0].ToString();
    const Database& db = result.database;
    EXPECT_EQ(db.version, "1.2");
    EXPECT_EQ(db.comment, "A database\nover two lines");
    ASSERT_EQ(db.messages.size(), 1u);
    const Message& engine = db.messages[0];
    EXPECT_EQ(engine.name, "Engine");
    EXPECT_EQ(engine.size, 8);
    EXPECT_EQ(engine.transmitter, "ECU");
    EXPECT_EQ(engine.comment, "Engine state");
    EXPECT_EQ(engine.line, 15);
    const Signal& speed = engine.signalList[0];
    EXPECT_EQ(speed.factor, 0.005);
    EXPECT_EQ(speed.offset, -320);
    EXPECT_EQ(speed.minimum, -320);
    EXPECT_EQ(speed.maximum, 1000);
    EXPECT_EQ(speed.unit, "km/h");
    EXPECT_EQ(speed.receivers, (std::vector<std::string>{"GW", "ECU"}));
    EXPECT_EQ(speed.comment, "Vehicle speed, \"filtered\"\nsecond line");
    EXPECT_EQ(speed.line, 16);
    const Signal& gear = engine.signalList[1];
    ASSERT_EQ(gear.valueTexts.size(), 4u);
    EXPECT_EQ(*gear.ValueText(3), "D");
    EXPECT_EQ(gear.ValueText(4), nullptr);
    EXPECT_EQ(db.ValueTableCount(), 1);
    EXPECT_EQ(db.SignalCount(), 2);

    std::map<std::string, int> skipped = {
        {"BA_", 2},     {"BA_DEF_", 1},    {"BA_DEF_DEF_", 1}, {"BO_TX_BU_", 1},
        {"BS_", 1},     {"BU_", 1},        {"CM_ BU_", 1},     {"EV_", 1},
        {"SIG_GROUP_", 1}, {"VAL_ (environment variable)", 1}, {"VAL_TABLE_", 1}};
    EXPECT_EQ(result.skipped, skipped);
}

TEST(ParserTest, ReportsErrorsWithTheirLinesAndReadsOn) {
    const char* text =
        "BO_ 100 Good: 8 X\n"                               // 1
        " SG_ Ok : 0|8@1+ (1,0) [0|0] \"\" X\n"             // 2
        " SG_ BadOrder : 8|8@2+ (1,0) [0|0] \"\" X\n"       // 3
        " SG_ TooLong : 0|65@1+ (1,0) [0|0] \"\" X\n"       // 4
        " SG_ NoFit : 500|20@1+ (1,0) [0|0] \"\" X\n"       // 5
        " SG_ Ok : 8|8@1+ (1,0) [0|0] \"\" X\n"             // 6
        " SG_ Mux q1 : 8|8@1+ (1,0) [0|0] \"\" X\n"         // 7
        "BO_ 100 Again: 8 X\n"                              // 8
        " SG_ Lost : 0|8@1+ (1,0) [0|0] \"\" X\n"           // 9
        "VAL_ 100 Ok 1 \"one\" 2 ;\n"                       // 10
        "BO_ 300 Next: 8 X\n"                               // 11
        " SG_ Fine : 0|8@1+ (1,0 [0|0] \"\" X\n"            // 12
        " SG_ Kept : 0|8@1+ (1,0) [0|0] \"\" X\n"           // 13
        "FOO_BAR 1 2;\n"                                    // 14
        "CM_ SG_ 300 Kept \"kept\"\n"                       // 15: no ';', a warning
        "BO_ 4294967295 Wide: 8 X\n"                        // 16
        "SIG_VALTYPE_ 300 Kept : 1;\n"                      // 17
        "CM_ \"never closed\n";                             // 18
    ParseResult result = Parse(text, Encoding::Cp1252, "bad.dbc");
    std::vector<std::pair<int, std::string>> seen;
    for (const Diagnostic& d : result.diagnostics) {
        EXPECT_EQ(d.file, "bad.dbc");
        EXPECT_EQ(d.warning, d.line == 15) << d.ToString();
        seen.emplace_back(d.line, d.message);
    }
    std::vector<int> lines;
    for (const auto& [line, message] : seen) {
        lines.push_back(line);
    }
    EXPECT_EQ(lines, (std::vector<int>{3, 4, 5, 6, 7, 8, 10, 12, 14, 15, 16, 17, 18}));
    EXPECT_EQ(seen[0].second, "expected byte order 0 or 1, found '2'");
    EXPECT_EQ(seen[7].second, "expected ')' after the offset, found '['");
    EXPECT_EQ(seen[8].second, "unknown keyword 'FOO_BAR'");
    EXPECT_EQ(seen[9].second, "no ';' at the end of CM_");
    EXPECT_EQ(result.diagnostics[0].ToString(),
              "bad.dbc:3: expected byte order 0 or 1, found '2'");

    const Database& db = result.database;
    ASSERT_EQ(db.messages.size(), 2u);
    EXPECT_EQ(db.messages[0].signalList.size(), 1u);
    ASSERT_EQ(db.messages[1].signalList.size(), 1u);
    EXPECT_EQ(db.messages[1].signalList[0].name, "Kept");
    EXPECT_EQ(db.messages[1].signalList[0].comment, "kept");
    EXPECT_EQ(db.messages[1].signalList[0].valueType, ValueType::Integer);
}

TEST(ParserTest, NumbersIgnoreTheProcessLocale) {
    // Under a Russian locale strtod wants "0,005" and reads "0.005" as 0.
    const char* names[] = {"ru_RU.UTF-8", "ru_RU.utf8", "ru_RU.CP1251"};
    std::string previous = std::setlocale(LC_ALL, nullptr);
    bool russian = false;
    for (const char* name : names) {
        if (std::setlocale(LC_ALL, name)) {
            russian = true;
            break;
        }
    }
    std::locale previousGlobal;
    if (russian) {
        std::locale::global(std::locale(std::setlocale(LC_ALL, nullptr)));
    }
    Database db = k57::test::CleanDatabase(
        "BO_ 1 M: 8 X\n SG_ S : 0|16@1- (0.005,-1.5) [-163.84|163.835] \"V\" X\n");
    std::setlocale(LC_ALL, previous.c_str());
    std::locale::global(previousGlobal);
    if (!russian) {
        GTEST_SKIP() << "no Russian locale installed (scripts/setup.sh installs locales-all)";
    }
    const Signal& s = db.messages.at(0).signalList.at(0);
    EXPECT_EQ(s.factor, 0.005);
    EXPECT_EQ(s.offset, -1.5);
    EXPECT_EQ(s.maximum, 163.835);
}

TEST(ParserTest, TextsComeInTheCallersCodePage) {
    const std::string text =
        "BO_ 1 M: 8 X\n SG_ T : 0|8@1+ (1,0) [0|0] \"\xB0" "C\" X\n"
        "CM_ SG_ 1 T \"\xEA\xEC/\xF7\";\n";
    Database western = k57::test::CleanDatabase(text, Encoding::Cp1252);
    EXPECT_EQ(western.messages[0].signalList[0].unit, "\xC2\xB0" "C");  // °C
    Database cyrillic = k57::test::CleanDatabase(text, Encoding::Cp1251);
    EXPECT_EQ(cyrillic.messages[0].signalList[0].comment,
              "\xD0\xBA\xD0\xBC/\xD1\x87");  // км/ч
    Database utf8 = k57::test::CleanDatabase(
        "\xEF\xBB\xBF" "BO_ 1 M: 8 X\n SG_ T : 0|8@1+ (1,0) [0|0] \"\xC2\xB0" "C\" X\n",
        Encoding::Utf8);
    EXPECT_EQ(utf8.messages[0].signalList[0].unit, "\xC2\xB0" "C");
    EXPECT_EQ(EncodingNamed("Windows-1251"), Encoding::Cp1251);
    EXPECT_EQ(EncodingNamed("latin1"), std::nullopt);
}

TEST(ParserTest, MultiplexingAndValueTypesAreRecorded) {
    Database db = k57::test::CleanDatabase(R"(
BO_ 5 M: 8 X
 SG_ Top M : 0|8@1+ (1,0) [0|0] "" X
 SG_ Mid m12M : 8|8@1+ (1,0) [0|0] "" X
 SG_ Leaf m7 : 16|32@1- (1,0) [0|0] "" X
 SG_ D : 0|64@1- (1,0) [0|0] "" X
SG_MUL_VAL_ 5 Leaf Mid 1-2, 4-4;
SIG_VALTYPE_ 5 Leaf : 1;
SIG_VALTYPE_ 5 D : 2;
)");
    const Message& m = db.messages[0];
    EXPECT_TRUE(m.signalList[0].isMultiplexor && !m.signalList[0].isMultiplexed);
    EXPECT_TRUE(m.signalList[1].isMultiplexor && m.signalList[1].isMultiplexed);
    EXPECT_EQ(m.signalList[1].multiplexValues[0].low, 12);
    const Signal& leaf = m.signalList[2];
    EXPECT_EQ(leaf.multiplexorName, "Mid");
    ASSERT_EQ(leaf.multiplexValues.size(), 2u);
    EXPECT_EQ(leaf.multiplexValues[1].low, 4);
    EXPECT_EQ(leaf.valueType, ValueType::Float);
    EXPECT_EQ(m.signalList[3].valueType, ValueType::Double);
    EXPECT_EQ(m.multiplexors, (std::vector<int>{0, 1}));
}

TEST(ParserTest, AnUnreadableFileIsOneErrorAtLineZero) {
    ParseResult result = ParseFile("/nonexistent/x.dbc", Encoding::Cp1252);
    ASSERT_EQ(result.diagnostics.size(), 1u);
    EXPECT_EQ(result.diagnostics[0].line, 0);
    EXPECT_TRUE(result.database.messages.empty());
}

}  // namespace
