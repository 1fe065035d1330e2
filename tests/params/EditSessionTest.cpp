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
    EXPECT_EQ(session.Commit(), "15 - многовато будет.");
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

}  // namespace
