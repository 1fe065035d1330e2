// What is masked when settings are shown or exported, and the differences
// between two settings texts by the catalogue.

#include <gtest/gtest.h>

#include "ParameterList.h"
#include "SettingsDiff.h"
#include "SettingsMask.h"
#include "ShippedCatalogue.h"

using namespace k57;

namespace {

TEST(SettingsMaskTest, PinAndPhoneNumbersAreMaskedAndNothingElse) {
    EXPECT_EQ(MaskSettings("PinCod=5291\r\nUserNumber1=+79161234567\r\nUserNumber4=+7916\n"
                           "MicLevel=8\nBalans=*100#\rNameBT=\xCB\xE0\xE4\xE0"),
              "PinCod=****\r\nUserNumber1=**********67\r\nUserNumber4=*****\n"
              "MicLevel=8\nBalans=*100#\rNameBT=\xCB\xE0\xE4\xE0");
    // Every occurrence (the unit takes the last), values with '=', odd lines.
    EXPECT_EQ(MaskSettings("\n\nPinCod=1\nPinCod=12=34\nPinCod\nUserNumber2=\npincod=1\n"),
              "\n\nPinCod=*\nPinCod=*****\nPinCod\nUserNumber2=\npincod=1\n");
    EXPECT_EQ(MaskSettings(""), "");
    EXPECT_EQ(MaskSettingValue("UserNumber3", "+79001112233"), "**********33");
    EXPECT_EQ(MaskSettingValue("AccLow", "10700"), "10700");
    EXPECT_TRUE(IsPrivateSetting("PinCod"));
    EXPECT_FALSE(IsPrivateSetting("UserNumber5"));
}

TEST(SettingsDiffTest, DifferencesAreByParameterWithDefaultsApplied) {
    ParameterList catalogue(k57::test::ShippedCatalogue());
    ASSERT_EQ(catalogue.loadError(), "");
    std::vector<SettingDifference> diff =
        DiffSettings(catalogue, "MicLevel=10\r\nNoteKick=3\nPinCod=1234\nUnknown=1\n",
                     "NoteKick=5\nPinCod=1234\nMicLevel=8\nAccLow=10700\nUnknown=2\nMicLevel=9\n");
    ASSERT_EQ(diff.size(), 2u);  // in catalogue order; NoteKick=3 and AccLow are defaults
    EXPECT_EQ(diff[0].key, "MicLevel");
    EXPECT_EQ(diff[0].name,
              "\xD7\xF3\xE2\xF1\xF2\xE2\xE8\xF2\xE5\xEB\xFC\xED\xEE\xF1\xF2\xFC "
              "\xEC\xE8\xEA\xF0\xEE\xF4\xEE\xED\xE0");
    EXPECT_EQ(diff[0].before, "10");
    EXPECT_EQ(diff[0].after, "9");  // the last of a repeated key
    EXPECT_EQ(diff[1].key, "NoteKick");
    EXPECT_EQ(diff[1].before, "3");
    EXPECT_EQ(diff[1].after, "5");

    EXPECT_TRUE(DiffSettings(catalogue, "", "MicLevel=8\n").empty());
    std::vector<SettingDifference> cleared = DiffSettings(catalogue, "PinCod=1234\n", "");
    ASSERT_EQ(cleared.size(), 1u);
    EXPECT_EQ(cleared[0].after, "");
    EXPECT_EQ(DiffSettings(catalogue, "MicLevel=8", "MicLevel=08").size(), 1u);  // exact text
}

}  // namespace
