// The line edits show their text where Tahoma is missing (run by
// dejavu-only.sh: Wine with only the DejaVu fonts, Qt's Windows platform).
// Qt's Windows font engine once took "DejaVu Math TeX Gyre" for Tahoma:
// 11 pixels of line height but 46 of glyph box, on which QLineEdit centres
// its text - the text was there, and drawn out of sight.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QLineEdit>

#include "MainForm.h"
#include "ParametersEditForm.h"
#include "QuickSessions.h"
#include "ScriptedDialogs.h"
#include "TempDir.h"

namespace {

// The rectangle the text's pixels cover: what the edit shows with its text
// less what it shows without.
QRect DrawnText(QLineEdit& edit, const QString& text) {
    edit.setText(QString());
    QImage empty = edit.grab().toImage();
    edit.setText(text);
    edit.setCursorPosition(0);
    QImage full = edit.grab().toImage();
    QRect drawn;
    for (int y = 0; y < full.height(); ++y) {
        for (int x = 0; x < full.width(); ++x) {
            if (full.pixel(x, y) != empty.pixel(x, y)) {
                drawn |= QRect(x, y, 1, 1);
            }
        }
    }
    return drawn;
}

void ExpectShown(QLineEdit& edit, const QString& text) {
    QRect drawn = DrawnText(edit, text);
    SCOPED_TRACE(edit.objectName().toStdString() + " in " +
                 QFontInfo(edit.font()).family().toStdString());
    ASSERT_FALSE(drawn.isEmpty()) << "no text drawn";
    // The whole line inside the box, as tall as the font's letters.
    EXPECT_TRUE(edit.rect().contains(drawn));
    EXPECT_GE(drawn.height(), edit.fontMetrics().capHeight());
    EXPECT_GE(drawn.width(), edit.fontMetrics().horizontalAdvance(text) / 2);
}

class FontFallbackTest : public ::testing::Test {
  protected:
    k57::test::IsolatedSettings settings_;
    k57::test::ScriptedDialogs dialogs_;
};

TEST_F(FontFallbackTest, ThePortBoxAndTheEditorsValueBoxShowTheirText) {
    TMainForm main(dialogs_, k57::test::QuickSessions());
    main.show();
    auto* port = main.findChild<QComboBox*>("PortComboBox");
    ASSERT_TRUE(port && port->lineEdit());
    port->lineEdit()->setObjectName("PortComboBox");
    ExpectShown(*port->lineEdit(), "COM7");

    TParametersEditForm editor(dialogs_, main.Device(), &main);
    editor.show();
    editor.findChild<QWidget*>("Panel1")->show();
    auto* value = editor.findChild<QLineEdit*>("ValueEdit");
    ASSERT_TRUE(value);
    ExpectShown(*value, "1234");
}

// Message boxes, menus and the plot take Windows' dialog face; the trace
// takes its fixed one. Without Tahoma and Courier New both came out in
// whatever Wine found first: a serif and a proportional face.
TEST_F(FontFallbackTest, TheDialogFaceIsSansAndTheFixedFaceIsFixed) {
    for (const char* family : {"MS Shell Dlg 2", "MS Shell Dlg"}) {
        QString shown = QFontInfo(QFont(family)).family();
        EXPECT_TRUE(shown.startsWith("DejaVu Sans") && !shown.contains("Mono"))
            << family << " shown as " << shown.toStdString();
    }
    QFontInfo fixed(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    EXPECT_TRUE(fixed.fixedPitch()) << fixed.family().toStdString();
}

}  // namespace
