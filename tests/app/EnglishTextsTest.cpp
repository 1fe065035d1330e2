// The windows in English (this program runs with K57_TEST_LANG=en): no
// text of the program's own is left in Russian, the questions and log lines
// read in English, and the language is chosen as the user asked.

#include <gtest/gtest.h>

#include <QLocale>
#include <QPushButton>
#include <QTest>

#include "HistoryForm.h"
#include "InterfaceLanguage.h"
#include "MainForm.h"
#include "QuickSessions.h"
#include "ScriptedDialogs.h"
#include "Settle.h"
#include "SimulatedUnits.h"
#include "TextWalk.h"
#include "ToolSettings.h"
#include "TraceForm.h"
#include "WindowProbe.h"

namespace {

using k57::test::Child;
// Every Russian text a window shows, a line each: empty when none is left.
std::string Russian(QWidget& window) {
    return k57::test::CyrillicTexts(window).join('\n').toStdString();
}
using k57::test::HasCyrillic;
using k57::test::LogLines;

class EnglishTextsTest : public k57::test::SimulatedUnits {
  protected:
    std::unique_ptr<TMainForm> Open() {
        return std::make_unique<TMainForm>(dialogs, k57::test::QuickSessions());
    }
    void Click(TMainForm& form, const char* button) {
        Child<QPushButton>(form, button)->click();
        ASSERT_TRUE(k57::test::Settle(form.Device()));
    }

    k57::test::ScriptedDialogs dialogs;
};

TEST_F(EnglishTextsTest, TheMainHistoryAndTraceWindowsShowNoRussian) {
    k57::sim::UnitOptions options;
    options.settings = "MicLevel=3\r\n";
    Plug(5, options);
    auto form = Open();
    EXPECT_EQ(Russian(*form), "");
    EXPECT_EQ(Child<QPushButton>(*form, "ReadButton")->text().toStdString(),
              "Read settings from the unit");
    EXPECT_TRUE(form->windowTitle().contains("Version: "));

    Click(*form, "GetSerialButton");  // one entry in the journal
    THistoryForm history(form->guardedChange(), dialogs, form->parameterList());
    EXPECT_EQ(Russian(history), "");
    TTraceForm trace;
    EXPECT_EQ(Russian(trace), "");
}

TEST_F(EnglishTextsTest, QuestionsBoxesAndLogLinesAreEnglish) {
    auto form = Open();
    Click(*form, "GetSerialButton");
    Click(*form, "GetVersionButton");
    EXPECT_EQ(dialogs.shown().join('\n').toStdString(),
              "Cannot read: The unit is not connected or is busy.\n"
              "Error: The unit is not connected or is busy");
    EXPECT_EQ(LogLines(*form).join('\n').toStdString(),
              "COM5: the port cannot be opened (no such port)\n"
              "COM5: the port cannot be opened (no such port)");

    // The update's question, declined.
    Plug(5);
    dialogs.boxes.clear();
    Child<QPushButton>(*form, "BlowUpdateButton")->click();
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].caption.toStdString(), "Warning");
    EXPECT_TRUE(dialogs.boxes[0].text.endsWith("Start the update?")) << dialogs.boxes[0].text.toStdString();
    for (const QString& line : dialogs.shown() + LogLines(*form)) {
        EXPECT_FALSE(HasCyrillic(line)) << line.toStdString();
    }
}

TEST(InterfaceLanguage, TheSystemsFirstKnownLanguageWinsAndRussianIsTheFallback) {
    using k57::Language;
    EXPECT_EQ(k57::LanguageForSystem({"en-US", "en-Latn-US", "en"}), Language::English);
    EXPECT_EQ(k57::LanguageForSystem({"ru-RU", "ru-Cyrl-RU", "ru"}), Language::Russian);
    EXPECT_EQ(k57::LanguageForSystem({"de-DE", "de", "en-US"}), Language::English);
    EXPECT_EQ(k57::LanguageForSystem({"uk_UA", "ru", "en"}), Language::Russian);
    EXPECT_EQ(k57::LanguageForSystem({"de-DE", "de"}), Language::Russian);
    EXPECT_EQ(k57::LanguageForSystem({"C"}), Language::Russian);
    EXPECT_EQ(k57::LanguageForSystem({}), Language::Russian);
    EXPECT_EQ(k57::ParseLanguage(" EN "), Language::English);
    EXPECT_EQ(k57::ParseLanguage("fr"), std::nullopt);
}

TEST(InterfaceLanguage, TheCommandLineBeatsTheStoredChoiceWhichBeatsTheSystem) {
    k57::test::IsolatedSettings settings;
    const k57::Language system = k57::LanguageForSystem(QLocale::system().uiLanguages());
    EXPECT_EQ(k57::StoredLanguage(), std::nullopt);
    EXPECT_EQ(k57::ChosenLanguage(std::nullopt), system);
    // Following the system stores nothing, so a changed system is followed.
    EXPECT_FALSE(k57::ToolSettings().contains("interface/language"));
    k57::StoreLanguage(k57::Language::English);
    EXPECT_EQ(k57::ChosenLanguage(std::nullopt), k57::Language::English);
    EXPECT_EQ(k57::ChosenLanguage(k57::Language::Russian), k57::Language::Russian);
    k57::StoreLanguage(std::nullopt);
    EXPECT_EQ(k57::StoredLanguage(), std::nullopt);
    EXPECT_EQ(k57::ChosenLanguage(std::nullopt), system);
}

}  // namespace
