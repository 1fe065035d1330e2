#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

#include "EditorFixture.h"
#include "Messages.h"
#include "ParametersEditForm.h"
#include "QuickSessions.h"
#include "SafeSave.h"
#include "ScriptedDialogs.h"
#include "Settle.h"
#include "ShippedCatalogue.h"
#include "SimulatedUnits.h"
#include "UnitBytes.h"

namespace {

TEST_F(EditorTest, ShowsGroupsAndTheChosenParameter) {
    ASSERT_EQ(tree->topLevelItemCount(), 4);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), "Настройки связи");
    EXPECT_EQ(tree->topLevelItem(1)->childCount(), 12);
    EXPECT_EQ(tree->topLevelItem(0)->child(8)->text(0), "Чувствительность микрофона");
    EXPECT_EQ(editor.windowTitle(), "Редактор параметров");
    EXPECT_FALSE(Panel()->isVisible());

    ASSERT_TRUE(Select(0, 8));
    EXPECT_TRUE(Panel()->isVisible());
    EXPECT_TRUE(value->isVisible());
    EXPECT_FALSE(enumValue->isVisible());
    EXPECT_EQ(value->text(), "8");
    EXPECT_EQ(editor.findChild<QGroupBox*>("GroupBox1")->title(), "Чувствительность микрофона");
    EXPECT_EQ(editor.findChild<QLabel*>("DescriptionLabel")->text(),
              "Чувствительность микрофона.(1-14)");
    EXPECT_EQ(sms->text(), "Set,MicLevel=8");

    ASSERT_TRUE(Select(3, 1));  // Stoper, an enumeration
    EXPECT_FALSE(value->isVisible());
    EXPECT_TRUE(enumValue->isVisible());
    EXPECT_EQ(enumValue->currentText(), "Отключено");
    EXPECT_TRUE(tree->topLevelItem(3)->isExpanded());
    EXPECT_FALSE(tree->topLevelItem(0)->isExpanded());

    ASSERT_TRUE(Select(2));
    EXPECT_FALSE(Panel()->isVisible());
    EXPECT_FALSE(editor.modified());
}

TEST_F(EditorTest, AnInvalidValueRefusesTheMoveAndIsNotStored) {
    ASSERT_TRUE(Select(0, 8));
    Type("15");
    EXPECT_EQ(sms->text(), "Set,MicLevel=15");  // follows every keystroke
    EXPECT_FALSE(Select(0, 6));
    EXPECT_EQ(dialogs.shown(), QStringList{"Ошибка: 15 - многовато будет. (допустимо от 1 до 14)"});
    EXPECT_EQ(Value("MicLevel"), "8");
    EXPECT_EQ(value->selectedText(), "15");
    EXPECT_TRUE(value->hasFocus());

    Type("14");
    EXPECT_TRUE(Select(0, 6));
    EXPECT_EQ(Value("MicLevel"), "14");
    EXPECT_EQ(editor.windowTitle(), "Редактор параметров. Настройки изменены!");
}

TEST_F(EditorTest, AStoredOutOfRangeValueBlocksLeavingOnlyThatParameter) {
    list.SetValuesFromText("MicLevel=99\nKickSens=42\n");
    editor.hide();
    editor.show();
    ASSERT_TRUE(Select(0, 0));
    ASSERT_TRUE(Select(0, 8));
    EXPECT_FALSE(Select(1, 0));
    EXPECT_EQ(dialogs.shown(), QStringList{"Ошибка: 99 - многовато будет. (допустимо от 1 до 14)"});
    Type("9");
    EXPECT_TRUE(Select(1, 0));
    EXPECT_EQ(Value("KickSens"), "42");  // never shown, never checked
}

TEST_F(EditorTest, EnumerationValuesWithAndWithoutAnItem) {
    list.SetValuesFromText("CanMode=9\n");
    editor.hide();
    editor.show();
    ASSERT_TRUE(Select(0, 9));
    // The value the unit holds shows with a hint instead of an empty list.
    EXPECT_EQ(enumValue->currentIndex(), 0);
    EXPECT_EQ(enumValue->currentText(), "9 (нет в списке)");
    EXPECT_EQ(enumValue->count(), 9);
    EXPECT_EQ(tree->topLevelItem(0)->child(9)->text(1), "9 (нет в списке)");
    EXPECT_EQ(Value("CanMode"), "9");
    EXPECT_FALSE(editor.modified());
    emit enumValue->activated(0);  // the hint itself is no value
    EXPECT_EQ(Value("CanMode"), "9");
    EXPECT_FALSE(editor.modified());

    enumValue->setCurrentIndex(3);  // as the user's pick does
    emit enumValue->activated(3);
    EXPECT_EQ(Value("CanMode"), "2");
    EXPECT_EQ(sms->text(), "Set,CanMode=2");
    EXPECT_TRUE(editor.modified());
    // A real item replaces the hint.
    EXPECT_EQ(enumValue->count(), 8);
    EXPECT_EQ(enumValue->currentText(), "Vesta");
    EXPECT_EQ(tree->topLevelItem(0)->child(9)->text(1), "Vesta");

    dialogs.files.push_back(QString());  // a cancelled save keeps the change
    editor.SaveActionExecute();
    EXPECT_TRUE(editor.modified());
    k57::test::TempDir dir;
    dialogs.files.push_back(dir.path().c_str() + QString("/s.txt"));
    editor.SaveActionExecute();
    emit enumValue->activated(2);  // the same item again changes nothing
    EXPECT_FALSE(editor.modified());
}

TEST_F(EditorTest, TheTreeShowsEachValueAndMarksTheChangedOnesBold) {
    list.SetValuesFromText("PinCod=1234\nNoteKick=5\n");
    editor.hide();
    editor.show();
    QTreeWidgetItem* links = tree->topLevelItem(0);
    QTreeWidgetItem* pin = links->child(0);
    QTreeWidgetItem* mic = links->child(8);
    EXPECT_EQ(pin->text(1), "1234");
    EXPECT_EQ(mic->text(1), "8");
    EXPECT_EQ(tree->topLevelItem(1)->child(2)->text(1), "Вызов всем абонентам");  // NoteKick=5
    // What was read is no change; nothing is bold yet.
    for (QTreeWidgetItem* node : {pin, mic, links}) {
        EXPECT_FALSE(node->font(0).bold()) << node->text(0).toStdString();
    }

    ASSERT_TRUE(Select(0, 8));
    Type("12");
    ASSERT_TRUE(Select(0, 7));
    EXPECT_EQ(mic->text(1), "12");
    EXPECT_TRUE(mic->font(0).bold());
    EXPECT_TRUE(mic->font(1).bold());
    EXPECT_TRUE(links->font(0).bold());  // a folded group still shows it
    EXPECT_FALSE(pin->font(0).bold());

    // A refused text changes neither the value shown nor the mark.
    ASSERT_TRUE(Select(0, 8));
    Type("99");
    EXPECT_FALSE(Select(0, 7));
    EXPECT_EQ(mic->text(1), "12");
    EXPECT_EQ(editor.windowTitle(), "Редактор параметров. Настройки изменены!");
    Type("8");  // back to what was read: no change left to tell of
    ASSERT_TRUE(Select(0, 7));
    EXPECT_EQ(mic->text(1), "8");
    EXPECT_FALSE(mic->font(0).bold());
    EXPECT_FALSE(links->font(0).bold());
    EXPECT_EQ(editor.windowTitle(), "Редактор параметров");
    EXPECT_FALSE(editor.modified());
    // Names too long for the column are whole in the tooltip.
    EXPECT_EQ(mic->toolTip(0), mic->text(0));
}

// Enter in the value field commits as leaving it does, and leaves the
// editor open; a refused value is told in a box with the warning sign.
TEST_F(EditorTest, EnterCommitsTheTypedValueAndARefusalCarriesTheWarningSign) {
    QTreeWidgetItem* mic = tree->topLevelItem(0)->child(8);
    ASSERT_TRUE(Select(0, 8));
    Type("12");
    QTest::keyClick(value, Qt::Key_Return);
    EXPECT_EQ(Value("MicLevel"), "12");
    EXPECT_EQ(mic->text(1), "12");
    EXPECT_TRUE(mic->font(0).bold());
    EXPECT_EQ(editor.windowTitle(), "Редактор параметров. Настройки изменены!");
    EXPECT_TRUE(editor.isVisible());
    EXPECT_TRUE(value->hasFocus());

    Type("13");
    QTest::keyClick(value, Qt::Key_Enter);  // the keypad's
    EXPECT_EQ(Value("MicLevel"), "13");

    Type("99");
    QTest::keyClick(value, Qt::Key_Return);
    EXPECT_EQ(Value("MicLevel"), "13");
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].caption, "Ошибка");
    EXPECT_EQ(dialogs.boxes[0].icon, k57::Icon::Warning);
    EXPECT_TRUE(editor.isVisible());
}

TEST_F(EditorTest, SmsLineUsesTheStoredPinUntilANewOneIsCommitted) {
    list.SetValuesFromText("PinCod=1111\n");
    editor.hide();
    editor.show();
    ASSERT_TRUE(Select(0, 0));
    Type("2222");
    EXPECT_EQ(sms->text(), "Set1111,PinCod=2222");
    ASSERT_TRUE(Select(0, 1));
    EXPECT_EQ(sms->text(), "Set2222,Balans=");
    ASSERT_TRUE(Select(1, 2));
    EXPECT_EQ(sms->text(), "Set2222,NoteKick=3");
}

TEST_F(EditorTest, CharactersOutsideTheUnitsCodePageAreRefused) {
    ASSERT_TRUE(Select(0, 6));  // NameBT
    Type("Машина 中");
    EXPECT_FALSE(Select(0, 7));
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_TRUE(dialogs.boxes[0].text.contains("Windows-1251"));
    EXPECT_EQ(Value("NameBT"), "");
    Type("Машина №1");
    EXPECT_TRUE(Select(0, 7));
    EXPECT_EQ(Value("NameBT"), k57::test::Cp1251("Машина №1"));
}

}  // namespace
