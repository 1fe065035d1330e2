#include <gtest/gtest.h>

#include <cstring>

#include "ByteBuffer.h"
#include "Crc32.h"

namespace {

uint32_t CrcOf(const char* text) {
    return Crc32(reinterpret_cast<const uint8_t*>(text), unsigned(std::strlen(text)));
}

TEST(Crc32, MatchesTheUnitsChecksumNotTheCommonOne) {
    EXPECT_EQ(CrcOf("123456789"), 0x2DFD2D88u);
    EXPECT_EQ(CrcOf("abc"), 0xCA6598D0u);
}

TEST(Crc32, StartsFromZeroSoLeadingZeroBytesChangeNothing) {
    const uint8_t zero[] = {0}, one[] = {1}, padded[] = {0, 0, 0, 1};
    EXPECT_EQ(Crc32(nullptr, 0), 0u);
    EXPECT_EQ(Crc32(zero, 1), 0u);
    EXPECT_EQ(Crc32(one, 1), 0x77073096u);
    EXPECT_EQ(Crc32(padded, 4), 0x77073096u);
}

TEST(ByteBuffer, PacksLittleEndianAndReadsBack) {
    uint8_t bytes[8] = {};
    orvan::util::ByteBuffer out(bytes, sizeof bytes);
    out.putShort(0x00C9);
    out.putInt(0x12345678);
    out.putShort(-2);
    const uint8_t expected[] = {0xC9, 0x00, 0x78, 0x56, 0x34, 0x12, 0xFE, 0xFF};
    EXPECT_EQ(0, std::memcmp(bytes, expected, sizeof expected));

    orvan::util::ByteBuffer in(bytes, sizeof bytes);
    EXPECT_EQ(in.getShort(), 0x00C9);
    EXPECT_EQ(in.getInt(), 0x12345678);
    EXPECT_EQ(in.position(), bytes + 6);
    EXPECT_EQ(in.getShort(), -2);
}

TEST(ByteBuffer, ReadsHighBitValuesAsNegativeWithoutSignSmearing) {
    uint8_t bytes[] = {0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0x01};
    orvan::util::ByteBuffer in(bytes, sizeof bytes);
    EXPECT_EQ(uint32_t(in.getInt()), 0xFFFFFFFFu);
    EXPECT_EQ(uint16_t(in.getShort()), 0x0180u);
}

}  // namespace
