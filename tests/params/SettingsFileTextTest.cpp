// Settings files in the unit's code page or in UTF-8, told apart by their
// bytes, and the unit's own lines a change must give back to it.

#include <gtest/gtest.h>

#include "FileEncoding.h"
#include "ParameterList.h"
#include "SettingsFileText.h"
#include "ShippedCatalogue.h"

namespace {

using k57::FileEncoding;

TEST(SettingsFileTextTest, UnicodeTextIsTakenForUtf8AndEverythingElseForWindows1251) {
    EXPECT_EQ(k57::DetectEncoding("NameBT=\xD0\x9B\xD0\xB0\xD0\xB4\xD0\xB0"), FileEncoding::Utf8);
    EXPECT_EQ(k57::DetectEncoding("\xEF\xBB\xBFMicLevel=3"), FileEncoding::Utf8);
    EXPECT_EQ(k57::DetectEncoding("MicLevel=3\r\n"), FileEncoding::Windows1251);
    EXPECT_EQ(k57::DetectEncoding(""), FileEncoding::Windows1251);
    // Russian in Windows-1251: capitals and small letters together, "Ёж",
    // and letters before the signs 0x80-0xBF that UTF-8 continues with.
    for (const char* text :
         {"NameBT=\xCB\xE0\xE4\xE0", "NameBT=\xA8\xE6", "NameBT=\xD0\xE9", "NameBT=\xD0\x9B\xD0"}) {
        EXPECT_EQ(k57::DetectEncoding(text), FileEncoding::Windows1251) << text;
    }
    // Not UTF-8 as the standard has it: an overlong "/", a surrogate.
    EXPECT_EQ(k57::DetectEncoding("A=\xC0\xAF"), FileEncoding::Windows1251);
    EXPECT_EQ(k57::DetectEncoding("A=\xED\xA0\x80"), FileEncoding::Windows1251);
}

TEST(SettingsFileTextTest, AUtf8FileBecomesTheUnitsBytesAndLinesItCannotHoldAreNamed) {
    k57::SettingsFileText windows = k57::ToUnitText("NameBT=\xCB\xE0\xE4\xE0\r\n");
    EXPECT_FALSE(windows.utf8);
    EXPECT_EQ(windows.text, "NameBT=\xCB\xE0\xE4\xE0\r\n");  // as it is, line ends too

    k57::SettingsFileText utf8 = k57::ToUnitText("\xEF\xBB\xBFNameBT=Лада\r\nBalans=№5\r\n");
    EXPECT_TRUE(utf8.utf8);
    EXPECT_EQ(utf8.text, "NameBT=\xCB\xE0\xE4\xE0\r\nBalans=\xB9\x35\r\n");
    EXPECT_TRUE(utf8.outsideCodePage.empty());

    k57::SettingsFileText outside = k57::ToUnitText("NameBT=Лада\r\n\r\nBalans=日本\r\nMicLevel=3");
    EXPECT_EQ(outside.outsideCodePage, std::vector<int>{3});
    EXPECT_EQ(outside.text, "NameBT=\xCB\xE0\xE4\xE0\n\nBalans=日本\nMicLevel=3\n");
}

TEST(SettingsFileTextTest, TheLinesTheCatalogueDoesNotKnowAreFoundInTheirOrder) {
    ParameterList list{k57::test::ShippedCatalogue()};
    EXPECT_EQ(list.UnknownLines("Foo=1\r\nMicLevel=3\n\nno equals\rBar=\xC1\n"),
              "Foo=1\nno equals\nBar=\xC1\n");
    EXPECT_EQ(list.UnknownLines(std::string("MicLevel=3\nFoo=1\0Bar=2\n", 24)), "Foo=1\n");
    EXPECT_EQ(list.UnknownLines("MicLevel=3\nmicLevel=4\n"), "micLevel=4\n");  // keys are exact
}

}  // namespace
