#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "Crc32.h"
#include "EmbeddedImages.h"

namespace images = k57::images;

namespace {

TEST(EmbeddedImages, FirmwareIsHeldBehindEightFFBytesWithItsInfoBlock) {
    images::Firmware firmware = images::LoadFirmware();
    EXPECT_EQ(firmware.size, 94144);
    ASSERT_EQ(firmware.buffer.size(), 94144u + 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(firmware.buffer[size_t(i)], 0xFF);
    }
    EXPECT_STREQ(firmware.info.type, "K57BT");
    EXPECT_STREQ(firmware.info.version, "000.009");
    EXPECT_EQ(std::strncmp(firmware.info.extra, "Jul  7 2017", 11), 0);
    EXPECT_EQ(std::memcmp(firmware.buffer.data() + 264, "K57BT", 6), 0);
}

TEST(EmbeddedImages, SoundPackageHeaderDescribesItsData) {
    EXPECT_EQ(images::SoundDataSize(), 677857);
    images::SoundPackage package;
    ASSERT_EQ(package.size(), 677865);
    std::vector<uint8_t> bytes(size_t(package.size()));
    ASSERT_EQ(package.read(bytes.data(), int(bytes.size())), 677865);
    EXPECT_EQ(package.read(bytes.data(), 1), 0);
    uint32_t length, crc;
    std::memcpy(&length, bytes.data(), 4);
    std::memcpy(&crc, bytes.data() + 4, 4);
    EXPECT_EQ(length, 677857u);
    EXPECT_EQ(crc, Crc32(bytes.data() + 8, length));

    package.seek(4);
    uint32_t again = 0;
    EXPECT_EQ(package.read(&again, 4), 4);
    EXPECT_EQ(again, crc);
}

TEST(EmbeddedImages, AMissingItemIsAnError) {
    EXPECT_THROW(images::LoadFirmware(":/no-such-item"), std::runtime_error);
    EXPECT_THROW(images::SoundDataSize(":/no-such-item"), std::runtime_error);
    EXPECT_THROW(images::SoundPackage(":/no-such-item"), std::runtime_error);
}

TEST(EmbeddedImages, VersionsCompareByteByByte) {
    EXPECT_EQ(images::CompareVersions("000.009", "000.009"), 0);
    EXPECT_GT(images::CompareVersions("000.010", "000.009"), 0);
    EXPECT_LT(images::CompareVersions("000.008", "000.009"), 0);
    EXPECT_LT(images::CompareVersions("10.0", "9.1"), 0);
    EXPECT_LT(images::CompareVersions("000.00", "000.009"), 0);
    EXPECT_GT(images::CompareVersions("\xC0", "z"), 0);  // unsigned bytes
}

}  // namespace
