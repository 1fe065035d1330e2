#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "SettingsFile.h"
#include "TempDir.h"

namespace {

// `path` is UTF-8, which narrow paths are not on Windows.
std::string Bytes(const std::string& path) {
    std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(SettingsFileTest, WritesCrLfAndReadsBackTheSameBytes) {
    k57::test::TempDir dir;
    std::string path = dir.path() + "/настройки.txt";  // a UTF-8 path
    std::string error;
    ASSERT_TRUE(k57::SettingsFile::Write(path, "A=1\nPinCod=\xC0\xC1\n", error)) << error;
    EXPECT_EQ(Bytes(path), "A=1\r\nPinCod=\xC0\xC1\r\n");
    std::string text, detail;
    k57::SettingsFile::Problem problem;
    ASSERT_TRUE(k57::SettingsFile::Read(path, text, problem, detail));
    EXPECT_EQ(text, "A=1\r\nPinCod=\xC0\xC1\r\n");
}

TEST(SettingsFileTest, FailuresSayWhy) {
    k57::test::TempDir dir;
    std::string text = "kept", error;
    k57::SettingsFile::Problem problem;
    EXPECT_FALSE(k57::SettingsFile::Read(dir.path() + "/missing.txt", text, problem, error));
    EXPECT_EQ(problem, k57::SettingsFile::Problem::Unreadable);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(text, "kept");

    std::string file = dir.path() + "/plain";
    std::ofstream(file, std::ios::binary) << "old";
    error.clear();
    EXPECT_FALSE(k57::SettingsFile::Write(file + "/under-a-file.txt", "new\n", error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Bytes(file), "old");
}

TEST(SettingsFileTest, NoSettingsTextIsRefusedWithTheLineAtFault) {
    k57::test::TempDir dir;
    struct Case {
        std::string bytes;
        k57::SettingsFile::Problem problem;
        std::string line;
    };
    const Case cases[] = {
        {std::string("A=1\r\nB=\0\r\n", 10), k57::SettingsFile::Problem::NulByte, "2"},
        {"A=1\rB=2\n\n" + std::string(5000, 'x'), k57::SettingsFile::Problem::LongLine, "4"},
        {"A=1\r\n" + std::string(4096, 'x') + "\r\n", k57::SettingsFile::Problem::None, ""},
    };
    for (const Case& c : cases) {
        std::string path = dir.path() + "/case.txt";
        std::ofstream(path, std::ios::binary | std::ios::trunc) << c.bytes;
        std::string text, detail;
        k57::SettingsFile::Problem problem;
        EXPECT_EQ(k57::SettingsFile::Read(path, text, problem, detail),
                  c.problem == k57::SettingsFile::Problem::None);
        EXPECT_EQ(problem, c.problem);
        EXPECT_EQ(detail, c.line);
    }
}

}  // namespace
