#include <gtest/gtest.h>

#include "EditSession.h"
#include "ShippedCatalogue.h"
#include "UnitBytes.h"

namespace {

class EditSessionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        list.SetValuesFromText("PinCod=1234\n");
        session.Start(&list);
    }
    void Select(const char* key) { session.Select(list.IndexOf(key)); }
    const std::string& Value(const char* key) { return list.ParameterAt(list.IndexOf(key)).value; }

    ParameterList list{k57::test::ShippedCatalogue()};
    k57::EditSession session;
};

TEST_F(EditSessionTest, AValidTextIsStoredAndAnInvalidOneRefusedWithItsReason) {
    Select("MicLevel");
    EXPECT_EQ(session.typed(), "8");
    session.Type("15");
    EXPECT_TRUE(session.HasUncommittedEdit());
    EXPECT_EQ(session.Commit(), "15 - многовато будет. (допустимо от 1 до 14)");
    EXPECT_EQ(Value("MicLevel"), "8");
    EXPECT_FALSE(session.modified());

    session.Type("8");
    EXPECT_EQ(session.Commit(), std::nullopt);  // unchanged: not a modification
    EXPECT_FALSE(session.modified());
    session.Type("12");
    EXPECT_EQ(session.Commit(), std::nullopt);
    EXPECT_EQ(Value("MicLevel"), "12");
    EXPECT_TRUE(session.modified());
    EXPECT_FALSE(session.HasUncommittedEdit());
}

TEST_F(EditSessionTest, TextIsStoredAsTheUnitsBytesAndCharactersItLacksAreRefused) {
    Select("NameBT");
    session.Type("Лада");
    EXPECT_EQ(session.Commit(), std::nullopt);
    EXPECT_EQ(Value("NameBT"), k57::test::Cp1251("Лада"));
    session.Type("Lädä");
    EXPECT_EQ(session.Commit(),
              "Значение содержит символы, которых нет в кодировке устройства (Windows-1251).");
    EXPECT_EQ(Value("NameBT"), k57::test::Cp1251("Лада"));
    session.Type("a\nb");
    EXPECT_TRUE(session.Commit());
}

// The catalogue gives only their lengths; the unit needs digits.
TEST_F(EditSessionTest, APinAndPhoneNumbersAreRefusedByTheRuleTheyBreak) {
    Select("PinCod");
    session.Type("abcd");
    EXPECT_EQ(session.Commit(), "abcd - PIN-код: четыре цифры");
    session.Type("12 4");
    EXPECT_TRUE(session.Commit());
    EXPECT_EQ(Value("PinCod"), "1234");
    session.Type("");
    EXPECT_EQ(session.Commit(), std::nullopt);  // no PIN at all

    Select("UserNumber2");
    session.Type("call me maybe");
    EXPECT_EQ(session.Commit(),
              "call me maybe - номер телефона: + и цифры (допустимая длина от 12 до 16)");
    session.Type("8-916-123-45-67");  // a national number, without +
    EXPECT_TRUE(session.Commit());
    session.Type("+7916123456+");
    EXPECT_TRUE(session.Commit());
    session.Type("+79161234567");
    EXPECT_EQ(session.Commit(), std::nullopt);
    EXPECT_EQ(Value("UserNumber2"), "+79161234567");
}

TEST_F(EditSessionTest, EnumerationsAndTheSmsLine) {
    Select("NoteKick");
    ASSERT_TRUE(session.currentEnum());
    EXPECT_FALSE(session.Choose(3));  // already its value
    EXPECT_FALSE(session.Choose(99));
    EXPECT_TRUE(session.Choose(5));
    EXPECT_EQ(Value("NoteKick"), "5");
    EXPECT_EQ(session.SmsLine(), "Set1234,NoteKick=5");
    EXPECT_TRUE(session.modified());

    session.Select(-1);
    EXPECT_EQ(session.current(), nullptr);
    EXPECT_EQ(session.SmsLine(), "");
    EXPECT_EQ(session.Commit(), std::nullopt);
    session.Start(&list);
    EXPECT_FALSE(session.modified());
}

TEST_F(EditSessionTest, RefusalsSayWhatTheParameterAllows) {
    struct Case {
        const char* key;
        const char* typed;
        const char* refusal;
    };
    for (const Case& c : {
             Case{"MicLevel", "0", "0 - маловато будет. (допустимо от 1 до 14)"},
             Case{"MicLevel", "восемь", "восемь - не является целым цислом (допустимо от 1 до 14)"},
             Case{"AccLow", "10499", "10499 - маловато будет. (допустимо от 10500 до 12500)"},
             Case{"PinCod", "123", "Маленькая длинна текста (допустимая длина 4)"},
             Case{"PinCod", "12345", "Превышена длинна текста (допустимая длина 4)"},
             Case{"Balans", "*1#", "Маленькая длинна текста (допустимая длина от 5 до 8)"},
         }) {
        Select(c.key);
        session.Type(c.typed);
        std::optional<std::string> refusal = session.Commit();
        EXPECT_EQ(refusal, c.refusal) << c.key << " " << c.typed;
    }
    Select("NameBT");
    session.Type(std::string(33, 'z'));
    EXPECT_EQ(session.Commit(), "Превышена длинна текста (допустимая длина до 32)");
    // Refusals that are not about the range stay as they were.
    session.Type("a\nb");
    EXPECT_EQ(session.Commit(), "Значение не может содержать перевод строки");
}

TEST_F(EditSessionTest, TheTreeShowsValuesAndWhatChangedSinceTheStart) {
    list.SetValuesFromText("PinCod=1234\nCanMode=9\nNoteKick=5\n");
    session.Start(&list);
    const int pin = list.IndexOf("PinCod"), can = list.IndexOf("CanMode");
    const int kick = list.IndexOf("NoteKick"), mic = list.IndexOf("MicLevel");
    EXPECT_EQ(session.ValueText(pin), "1234");
    EXPECT_EQ(session.ValueText(can), "9 (нет в списке)");
    EXPECT_EQ(session.ValueText(mic), "8");
    EXPECT_EQ(session.ValueText(-1), "");
    // A value read that differs from the default is not a change of this editing.
    EXPECT_FALSE(session.Changed(pin));
    EXPECT_FALSE(session.Changed(kick));

    Select("MicLevel");
    session.Type("12");
    ASSERT_EQ(session.Commit(), std::nullopt);
    EXPECT_TRUE(session.Changed(mic));
    session.Type("8");  // back to where it started
    ASSERT_EQ(session.Commit(), std::nullopt);
    EXPECT_FALSE(session.Changed(mic));
    EXPECT_FALSE(session.modified());  // every value is back: nothing to save

    // Once saved or written, the values then are the ones changes are told from.
    session.Type("12");
    ASSERT_EQ(session.Commit(), std::nullopt);
    session.Rebase();
    EXPECT_FALSE(session.Changed(mic));
    EXPECT_FALSE(session.modified());
    session.Type("8");
    ASSERT_EQ(session.Commit(), std::nullopt);
    EXPECT_TRUE(session.Changed(mic));
    EXPECT_TRUE(session.modified());
}

TEST_F(EditSessionTest, AChoiceNotInTheCatalogueShowsWithAHintUntilARealOneIsPicked) {
    list.SetValuesFromText("CanMode=9\n");
    session.Start(&list);
    Select("CanMode");
    std::vector<std::string> texts = session.ChoiceTexts();
    ASSERT_EQ(texts.size(), 9u);
    EXPECT_EQ(texts[0], "9 (нет в списке)");
    EXPECT_EQ(texts[3], "Vesta");
    EXPECT_EQ(session.ChosenIndex(), 0);
    EXPECT_FALSE(session.Choose(0));  // the hint itself is no value
    EXPECT_EQ(Value("CanMode"), "9");
    EXPECT_FALSE(session.modified());

    EXPECT_TRUE(session.Choose(3));
    EXPECT_EQ(Value("CanMode"), "2");
    EXPECT_EQ(session.ValueText(list.IndexOf("CanMode")), "Vesta");
    texts = session.ChoiceTexts();
    ASSERT_EQ(texts.size(), 8u);  // the hint is gone
    EXPECT_EQ(texts[2], "Vesta");
    EXPECT_EQ(session.ChosenIndex(), 2);
    EXPECT_TRUE(session.Choose(0));
    EXPECT_EQ(Value("CanMode"), "0");

    Select("MicLevel");  // not a choice
    EXPECT_TRUE(session.ChoiceTexts().empty());
    EXPECT_EQ(session.ChosenIndex(), -1);
}

}  // namespace
