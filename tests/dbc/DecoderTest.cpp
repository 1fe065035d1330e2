// Frames decoded through hand-written databases whose values are worked
// out bit by bit: both byte orders, the sawtooth start bits, signedness,
// 1- to 64-bit and IEEE signals, multiplexing and value texts.

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "DbcFiles.h"
#include "Decoder.h"

namespace {

using namespace k57::dbc;

const char* kLayouts = R"(VERSION ""

BU_: ECU GW

BO_ 256 Intel: 8 ECU
 SG_ U8 : 0|8@1+ (1,0) [0|255] "" GW
 SG_ Mid12 : 4|12@1+ (0.5,-10) [0|0] "km/h" GW
 SG_ S16 : 16|16@1- (1,0) [0|0] "" GW,ECU
 SG_ Top : 63|1@1+ (1,0) [0|1] "" GW
 SG_ Whole : 0|64@1+ (1,0) [0|0] "" GW

BO_ 512 Moto: 8 ECU
 SG_ M16 : 7|16@0+ (1,0) [0|0] "" GW
 SG_ M12 : 11|12@0+ (1,0) [0|0] "" GW
 SG_ Odd10 : 3|10@0+ (1,0) [0|0] "" GW
 SG_ Nibble : 39|4@0- (1,0) [0|0] "" GW
 SG_ Whole : 7|64@0+ (1,0) [0|0] "" GW
 SG_ Low : 0|1@0+ (1,0) [0|0] "" GW

BO_ 2147484672 Ieee: 16 ECU
 SG_ F32 : 0|32@1- (1,0) [0|0] "" GW
 SG_ F64 : 32|64@1- (2,1) [0|0] "" GW
 SG_ FBig : 103|32@0- (1,0) [0|0] "" GW

SIG_VALTYPE_ 2147484672 F32 : 1;
SIG_VALTYPE_ 2147484672 F64 : 2;
SIG_VALTYPE_ 2147484672 FBig : 1;
VAL_ 256 S16 -32768 "lowest" 1 "one" ;
)";

const uint8_t kBytes[8] = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};

std::map<std::string, Value> ByName(const std::vector<Value>& values) {
    std::map<std::string, Value> named;
    for (const Value& value : values) {
        named[value.signal->name] = value;
    }
    return named;
}

std::map<std::string, Value> DecodeFrame(const Database& database, uint32_t id, bool extended,
                                         const uint8_t* data, size_t length) {
    const Message* message = database.Find(id, extended);
    EXPECT_NE(message, nullptr) << id;
    return message ? ByName(Decode(*message, data, length)) : std::map<std::string, Value>{};
}

TEST(DecoderTest, IntelCountsUpFromTheLeastSignificantBit) {
    Database database = k57::test::CleanDatabase(kLayouts);
    auto v = DecodeFrame(database, 256, false, kBytes, 8);
    EXPECT_EQ(v["U8"].raw, 0x01);
    EXPECT_EQ(v["Mid12"].raw, 0x230);  // bits 4..15 of 0x2301
    EXPECT_DOUBLE_EQ(v["Mid12"].physical, 0x230 * 0.5 - 10);
    EXPECT_EQ(v["S16"].raw, 0x6745);
    EXPECT_EQ(v["Top"].raw, 1);
    EXPECT_EQ(uint64_t(v["Whole"].raw), 0xEFCDAB8967452301u);
    EXPECT_DOUBLE_EQ(v["Whole"].physical, double(0xEFCDAB8967452301u));  // unsigned, not negative

    const uint8_t negative[8] = {0, 0, 0x00, 0x80, 0, 0, 0, 0};
    auto n = DecodeFrame(database, 256, false, negative, 8);
    EXPECT_EQ(n["S16"].raw, -32768);
    EXPECT_DOUBLE_EQ(n["S16"].physical, -32768);
    ASSERT_NE(n["S16"].text, nullptr);
    EXPECT_EQ(*n["S16"].text, "lowest");
    EXPECT_EQ(n["Top"].raw, 0);
    EXPECT_EQ(n["U8"].text, nullptr);
}

TEST(DecoderTest, MotorolaWalksTheSawtoothFromTheMostSignificantBit) {
    Database database = k57::test::CleanDatabase(kLayouts);
    auto v = DecodeFrame(database, 512, false, kBytes, 8);
    EXPECT_EQ(v["M16"].raw, 0x0123);
    EXPECT_EQ(v["M12"].raw, 0x345);            // byte 1 bits 3..0, then byte 2
    EXPECT_EQ(v["Odd10"].raw, 0b0001001000);   // byte 0 bits 3..0, byte 1 bits 7..2
    EXPECT_EQ(v["Nibble"].raw, -8);            // 0x8 of 0x89, signed
    EXPECT_EQ(uint64_t(v["Whole"].raw), 0x0123456789ABCDEFu);
    EXPECT_EQ(v["Low"].raw, 1);  // bit 0 of byte 0
}

TEST(DecoderTest, IeeeSignalsInBothByteOrders) {
    Database database = k57::test::CleanDatabase(kLayouts);
    uint8_t data[16] = {};
    float f32 = 1.5f;
    double f64 = -2.25;
    float big = -0.15625f;
    uint32_t bits32, bigBits;
    uint64_t bits64;
    std::memcpy(&bits32, &f32, 4);
    std::memcpy(&bits64, &f64, 8);
    std::memcpy(&bigBits, &big, 4);
    for (int i = 0; i < 4; ++i) {
        data[i] = uint8_t(bits32 >> (8 * i));
        data[12 + i] = uint8_t(bigBits >> (8 * (3 - i)));
    }
    for (int i = 0; i < 8; ++i) {
        data[4 + i] = uint8_t(bits64 >> (8 * i));
    }
    auto v = DecodeFrame(database, 0x400, true, data, 16);
    EXPECT_EQ(v["F32"].physical, 1.5);
    EXPECT_EQ(v["F64"].physical, -2.25 * 2 + 1);
    EXPECT_EQ(v["FBig"].physical, -0.15625);
    EXPECT_EQ(database.Find(0x400, false), nullptr);  // bit 31 made it extended
}

TEST(DecoderTest, AShortFrameDecodesOnlyTheSignalsItHolds) {
    Database database = k57::test::CleanDatabase(kLayouts);
    auto v = DecodeFrame(database, 256, false, kBytes, 2);
    EXPECT_EQ(v.size(), 2u);  // U8 and Mid12
    EXPECT_TRUE(v.count("U8") && v.count("Mid12"));
    EXPECT_TRUE(DecodeFrame(database, 256, false, kBytes, 0).empty());
}

// A decimal factor means a decimal value: 12 * 0.1 is the 1.2 the file
// says, the double nearest it, not the 1.2000000000000002 binary
// arithmetic makes of it; offsets and negative raws too.
TEST(DecoderTest, DecimalFactorsGiveTheDoubleNearestTheDecimalValue) {
    Database database = k57::test::CleanDatabase(R"(
BO_ 300 Decimals: 8 ECU
 SG_ Tenth : 0|8@1+ (0.1,0) [0|0] "" GW
 SG_ Temp : 8|8@1- (0.1,-40) [0|0] "" GW
 SG_ Milli : 16|16@1+ (0.001,0.5) [0|0] "" GW
 SG_ Third : 32|8@1+ (0.3333333,0) [0|0] "" GW
 SG_ Wide : 0|64@1+ (0.1,0) [0|0] "" GW
)");
    const uint8_t data[8] = {12, 0xFD, 0x39, 0x30, 3, 0, 0, 0};
    auto v = DecodeFrame(database, 300, false, data, 8);
    EXPECT_EQ(v["Tenth"].physical, 1.2);
    EXPECT_EQ(v["Temp"].physical, -40.3);    // raw -3
    EXPECT_EQ(v["Milli"].physical, 12.845);  // raw 12345
    EXPECT_EQ(v["Third"].physical, 0.9999999);
    // Beyond what whole numbers hold exactly: the plain product, as before.
    EXPECT_EQ(v["Wide"].physical, double(0x000000033039FD0CULL) * 0.1);
}

const char* kMultiplexed = R"(
BO_ 1024 Mux: 8 ECU
 SG_ Sel M : 0|4@1+ (1,0) [0|15] "" GW
 SG_ Always : 56|8@1+ (1,0) [0|0] "" GW
 SG_ A m1 : 8|8@1+ (1,0) [0|0] "" GW
 SG_ B m2 : 8|16@1+ (1,0) [0|0] "" GW
 SG_ Sub m3M : 8|4@1+ (1,0) [0|0] "" GW
 SG_ C m0 : 16|8@1+ (1,0) [0|0] "" GW

VAL_ 1024 Sel 1 "one" 3 "three \"quoted\"" ;
SG_MUL_VAL_ 1024 Sub Sel 3-4;
SG_MUL_VAL_ 1024 C Sub 0-1, 5-6;
)";

std::string Names(const Database& database, uint8_t sel, uint8_t sub) {
    uint8_t data[8] = {sel, sub, 0x11, 0, 0, 0, 0, 0x22};
    std::string names;
    for (const Value& value : Decode(*database.Find(1024, false), data, 8)) {
        names += value.signal->name + " ";
    }
    return names;
}

TEST(DecoderTest, MultiplexorsSelectTheirSignalsIncludingExtendedRanges) {
    Database database = k57::test::CleanDatabase(kMultiplexed);
    EXPECT_EQ(Names(database, 1, 0), "Sel Always A ");
    EXPECT_EQ(Names(database, 2, 0), "Sel Always B ");
    EXPECT_EQ(Names(database, 3, 5), "Sel Always Sub C ");
    EXPECT_EQ(Names(database, 4, 1), "Sel Always Sub C ");
    EXPECT_EQ(Names(database, 4, 2), "Sel Always Sub ");
    EXPECT_EQ(Names(database, 0, 5), "Sel Always ");  // C's own m0 gave way to SG_MUL_VAL_
    EXPECT_EQ(Names(database, 7, 0), "Sel Always ");

    uint8_t data[8] = {3};
    std::vector<Value> values = Decode(*database.Find(1024, false), data, 8);
    ASSERT_NE(values[0].text, nullptr);
    EXPECT_EQ(*values[0].text, "three \"quoted\"");
}

TEST(DecoderTest, ASignalWithoutItsMultiplexorIsNeverDecoded) {
    ParseResult result = Parse(R"(
BO_ 1 NoM: 8 ECU
 SG_ Orphan m1 : 0|8@1+ (1,0) [0|0] "" GW
 SG_ Plain : 8|8@1+ (1,0) [0|0] "" GW
BO_ 2 Loop: 8 ECU
 SG_ P m1M : 0|8@1+ (1,0) [0|0] "" GW
 SG_ Q m1M : 8|8@1+ (1,0) [0|0] "" GW
SG_MUL_VAL_ 2 P Q 1-1;
SG_MUL_VAL_ 2 Q P 1-1;
)",
                                         Encoding::Cp1252, "loop.dbc");
    EXPECT_EQ(result.ErrorCount(), 0);
    EXPECT_EQ(result.diagnostics.size(), 3u);  // Orphan, P and Q, as warnings
    const uint8_t ones[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    EXPECT_EQ(Decode(*result.database.Find(1, false), ones, 8).size(), 1u);
    EXPECT_TRUE(Decode(*result.database.Find(2, false), ones, 8).empty());
}

}  // namespace
