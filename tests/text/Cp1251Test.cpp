#include <gtest/gtest.h>

#include <QStringDecoder>

#include "Cp1251.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

using k57::cp1251::FromUtf8;
using k57::cp1251::ToUtf8;

TEST(Cp1251Test, EveryByteDecodesAsTheSystemsConverterDoesAndComesBack) {
    // Qt built without ICU (as for Windows) may not know the code page.
    QStringDecoder reference("windows-1251");
    for (int b = 0; b < 256; ++b) {
        std::string byte(1, char(b));
        std::string utf8 = ToUtf8(byte);
        if (reference.isValid()) {
            QString expected = reference(QByteArray::fromStdString(byte));
            EXPECT_EQ(utf8, expected.toStdString()) << b;
        }
        EXPECT_EQ(FromUtf8(utf8), byte) << b;
    }
    EXPECT_EQ(ToUtf8("\xCA\x35\x37 \xB9"), "К57 №");
}

TEST(Cp1251Test, TextWithoutAByteOrNotUtf8IsRefused) {
    EXPECT_EQ(FromUtf8("Привет, мир"), "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0");
    EXPECT_EQ(FromUtf8(""), "");
    EXPECT_FALSE(FromUtf8("ä"));                 // Latin, not in the code page
    EXPECT_FALSE(FromUtf8("中"));                // three bytes, not in the code page
    EXPECT_FALSE(FromUtf8("\xF0\x9F\x98\x80"));  // outside the basic plane
    EXPECT_FALSE(FromUtf8("\xD0"));              // cut short
    EXPECT_FALSE(FromUtf8("\xC0\x80"));          // overlong NUL
    EXPECT_FALSE(FromUtf8("\xED\xA0\x80"));      // a surrogate
    EXPECT_FALSE(FromUtf8("\x80"));              // a stray continuation byte
}

#ifdef _WIN32
// On Windows the system's own code page 1251 is the reference.
TEST(Cp1251Test, TheTableIsTheSystemsCodePage) {
    for (int b = 0; b < 256; ++b) {
        char byte = char(b);
        wchar_t wide[2] = {};
        ASSERT_EQ(MultiByteToWideChar(1251, 0, &byte, 1, wide, 2), 1) << b;
        char utf8[8] = {};
        int n = WideCharToMultiByte(CP_UTF8, 0, wide, 1, utf8, sizeof utf8, nullptr, nullptr);
        EXPECT_EQ(ToUtf8(std::string(1, byte)), std::string(utf8, size_t(n))) << b;
    }
}
#endif

}  // namespace
