// The program in English on every platform it is built for (the Windows
// build runs this under Wine): the translation is embedded and found, the
// main window shows no Russian of its own, counts, decimals and Qt's own
// dialogs follow the language.

#include <gtest/gtest.h>

#include <QDir>
#include <QFileDialog>
#include <QLocale>
#include <QPushButton>

#include "MainForm.h"
#include "RussianPlural.h"
#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "TextWalk.h"
#include "WindowTexts.h"
#include "WindowProbe.h"

namespace {

std::string Russian(QWidget& window) {
    return k57::test::CyrillicTexts(window).join('\n').toStdString();
}

TEST(EnglishEverywhere, TheMainWindowSpeaksTheEmbeddedEnglish) {
    k57::test::IsolatedPorts ports;
    k57::test::IsolatedSettings settings;
    k57::test::ScriptedDialogs dialogs;
    TMainForm form(dialogs);
    EXPECT_EQ(Russian(form), "");
    EXPECT_EQ(k57::test::Child<QPushButton>(form, "FindPortButton")->text().toStdString(), "Find");
    EXPECT_EQ(k57::NotConnected().toStdString(), "The unit is not connected or is busy");
}

TEST(EnglishEverywhere, CountsDecimalsAndQtsOwnDialogsFollowTheLanguage) {
    EXPECT_EQ(k57::Bytes(1).toStdString(), "1 byte");
    EXPECT_EQ(k57::Bytes(3).toStdString(), "3 bytes");
    EXPECT_EQ(k57::Bytes(21).toStdString(), "21 bytes");
    EXPECT_EQ(QLocale().toString(8.4, 'f', 1).toStdString(), "8.4");
    QFileDialog dialog(nullptr, "Open", QDir::tempPath());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    EXPECT_EQ(Russian(dialog), "");
}

}  // namespace
