#include <gtest/gtest.h>

#include "IntegerText.h"
#include "ParameterList.h"
#include "SettingsMessages.h"
#include "ShippedCatalogue.h"
#include "UnitBytes.h"
#include "Validation.h"

namespace {

class ValidationTest : public ::testing::Test {
  protected:
    // The refusal as the window words it, or "ok".
    std::string Check(const char* key, const std::string& text) {
        auto problem = k57::ValidateValue(list.ParameterAt(list.IndexOf(key)), text);
        return problem ? k57::WindowMessage(*problem, text) : "ok";
    }

    ParameterList list{k57::test::ShippedCatalogue()};
};

TEST_F(ValidationTest, NumbersMustBeWholeIntegersWithinTheirBounds) {
    EXPECT_EQ(Check("MicLevel", " 8"), "ok");
    EXPECT_EQ(Check("MicLevel", "$A"), "ok");
    EXPECT_EQ(Check("MicLevel", "0xE"), "ok");
    EXPECT_EQ(Check("MicLevel", "+1"), "ok");
    EXPECT_EQ(Check("MicLevel", "8 "), "8  - не является целым цислом");
    EXPECT_EQ(Check("MicLevel", ""), " - не является целым цислом");
    EXPECT_EQ(Check("MicLevel", "0"), "0 - маловато будет.");
    EXPECT_EQ(Check("MicLevel", "15"), "15 - многовато будет.");
    EXPECT_EQ(Check("AccLow", "10499"), "10499 - маловато будет.");
    EXPECT_EQ(Check("AccLow", "10500"), "ok");
    EXPECT_EQ(Check("AccLow", "12500"), "ok");
}

TEST_F(ValidationTest, StringsAreCheckedByLengthUnlessEmpty) {
    EXPECT_EQ(Check("PinCod", ""), "ok");
    EXPECT_EQ(Check("UserNumber1", ""), "ok");
    EXPECT_EQ(Check("PinCod", "123"), "Маленькая длинна текста");
    EXPECT_EQ(Check("PinCod", "12345"), "Превышена длинна текста");
    EXPECT_EQ(Check("PinCod", "1234"), "ok");
    // Lengths count bytes: five Cyrillic letters are five bytes.
    EXPECT_EQ(Check("Balans", k57::test::Cp1251("абвгд")), "ok");
    EXPECT_EQ(Check("Balans", k57::test::Cp1251("абвгдежзи")), "Превышена длинна текста");
}

// The catalogue gives the PIN and the phone numbers only their lengths;
// the SIM takes digits, and the unit dials what it holds.
TEST_F(ValidationTest, APinIsDigitsAndAPhoneNumberPlusAndDigits) {
    EXPECT_EQ(Check("PinCod", "0042"), "ok");
    for (const char* pin : {"abcd", "12 4", "-123", "+123"}) {
        EXPECT_EQ(Check("PinCod", pin), std::string(pin) + " - PIN-код: четыре цифры") << pin;
    }
    for (const char* key : {"UserNumber1", "UserNumber4"}) {
        EXPECT_EQ(Check(key, "+79161234567"), "ok");
        EXPECT_EQ(Check(key, "+123456789012345"), "ok");  // 16, the longest
        for (const char* number :
             {"89161234567890", "+7916123456 7", "++79161234567", "+7(916)1234567"}) {
            EXPECT_EQ(Check(key, number), std::string(number) + " - номер телефона: + и цифры")
                << key << " " << number;
        }
    }
    // Other texts keep any characters.
    EXPECT_EQ(Check("Balans", "*100#"), "ok");
}

TEST_F(ValidationTest, EnumerationsAcceptAnyItem) {
    for (const char* value : {"0", "2", "7", "99", "x"}) {
        EXPECT_EQ(Check("CanMode", value), "ok") << value;
    }
}

TEST_F(ValidationTest, LineBreaksAreRefusedSoTheTextReadsBackTheSame) {
    EXPECT_EQ(Check("NameBT", "car\nPinCod=0000"), "Значение не может содержать перевод строки");
    EXPECT_EQ(Check("MicLevel", "8\r"), "Значение не может содержать перевод строки");
}

TEST_F(ValidationTest, MessagesRepeatTheTypedBytesUnchanged) {
    std::string typed = k57::test::Cp1251("восемь");
    auto problem = k57::ValidateValue(list.ParameterAt(list.IndexOf("MicLevel")), typed);
    ASSERT_EQ(problem, k57::SettingsProblem::NotANumber);
    EXPECT_EQ(k57::WindowMessage(*problem, typed), "восемь - не является целым цислом");
}

TEST(IntegerText, AcceptsTheWrittenFormsAndNothingElse) {
    struct Case {
        const char* text;
        bool ok;
        int32_t value;
    };
    const Case cases[] = {
        {"0", true, 0},
        {"  -17", true, -17},
        {"+$ff", true, 255},
        {"x10", true, 16},
        {"X10", true, 16},
        {"0X7fffffff", true, 2147483647},
        {"-0x80000000", true, INT32_MIN},
        {"2147483647", true, INT32_MAX},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"$", false, 0},
        {"0x", false, 0},
        {"-", false, 0},
        {"", false, 0},
        {"   ", false, 0},
        {"1 ", false, 0},
        {"\t1", false, 0},
        {"1.0", false, 0},
        {"$G", false, 0},
        {"--1", false, 0},
        {"99999999999999999999", false, 0},
    };
    for (const Case& c : cases) {
        int32_t value = 0;
        EXPECT_EQ(k57::ParseInteger(c.text, value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

}  // namespace
