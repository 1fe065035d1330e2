// The parameter editor's save, write and close: files, the unit, and what
// is asked before a change is lost.

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

TEST_F(EditorTest, SavesTheProducedTextWithCrLfAndKeepsModifiedOnFailure) {
    k57::test::TempDir dir;
    ASSERT_TRUE(Select(0, 8));
    Type("10");
    ASSERT_TRUE(Select(0, 6));
    Type("Жук");
    dialogs.files = {dir.path().c_str() + QString("/none/x.txt"),
                     dir.path().c_str() + QString("/s.txt")};
    editor.SaveActionExecute();  // commits the typed name first
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(editor.modified());
    EXPECT_EQ(dialogs.filters.value(0), "текстовые файлы настроек | *.txt");

    auto* confirmation = editor.findChild<QLabel*>("SavedLabel");
    ASSERT_TRUE(confirmation);
    EXPECT_FALSE(confirmation->isVisible());  // not after the failed save

    editor.SaveActionExecute();
    QFile saved(dir.path().c_str() + QString("/s.txt"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll().toStdString(),
              "NameBT=" + k57::test::Cp1251("Жук") + "\r\nMicLevel=10\r\n");
    EXPECT_FALSE(editor.modified());
    EXPECT_EQ(editor.windowTitle(), "Редактор параметров");
    // The technician sees where the file went, until the values change.
    EXPECT_TRUE(confirmation->isVisible());
    EXPECT_EQ(confirmation->text(),
              "Настройки сохранены в файл " + QDir::toNativeSeparators(saved.fileName()));
    ASSERT_TRUE(Select(0, 8));
    Type("11");
    ASSERT_TRUE(Select(0, 7));
    EXPECT_FALSE(confirmation->isVisible());
}

// A disk that fills up mid-save, or a FIFO where the file would go: a box
// says why, the old file (or the FIFO) stays as it was, the change is kept.
TEST_F(EditorTest, ASaveThatFailsSaysWhyAndLeavesTheOldFileWhole) {
    k57::test::TempDir dir;
    const QString path = dir.path().c_str() + QString("/s.txt");
    const QString fifo = dir.path().c_str() + QString("/fifo");
    ASSERT_EQ(mkfifo(fifo.toUtf8().constData(), 0600), 0);
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("MicLevel=5\r\n");
    }
    ASSERT_TRUE(Select(0, 8));
    Type("10");
    k57::SetSaveFault(
        [](k57::SaveStep step, int) { return step == k57::SaveStep::Sync ? ENOSPC : 0; });
    dialogs.files = {path, fifo};
    editor.SaveActionExecute();
    k57::SetSaveFault(nullptr);
    editor.SaveActionExecute();
    ASSERT_EQ(dialogs.errors.size(), 2);
    EXPECT_TRUE(dialogs.errors[0].contains(QString::fromLocal8Bit(std::strerror(ENOSPC))))
        << dialogs.errors[0].toStdString();
    EXPECT_TRUE(dialogs.errors[1].contains(fifo)) << dialogs.errors[1].toStdString();
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "MicLevel=5\r\n");
    EXPECT_FALSE(QFileInfo(fifo).isFile());
    EXPECT_TRUE(QFileInfo::exists(fifo));
    EXPECT_TRUE(editor.modified());
}

TEST_F(EditorTest, WritesToTheUnitExactlyTheProducedText) {
    k57::sim::Unit& unit = Plug(5);
    ASSERT_TRUE(Select(0, 8));
    Type("3");
    dialogs.answers = {k57::Answer::Cancel, k57::Answer::Ok};
    editor.SendActionExecute();
    ASSERT_TRUE(k57::test::Settle(session));
    EXPECT_TRUE(unit.requests().empty());
    editor.SendActionExecute();
    ASSERT_TRUE(k57::test::Settle(session));
    EXPECT_EQ(unit.settings(), "MicLevel=3\n");
    EXPECT_EQ(dialogs.shown(), (QStringList{"Внимание: Записать настройки в устройство?",
                                            "Внимание: Записать настройки в устройство?",
                                            "Сообщение: Настройки записаны и подтверждены: "
                                            "прочитанные из устройства совпадают."}));
    EXPECT_FALSE(editor.modified());
    // What the unit now holds is no change: the marks go.
    EXPECT_FALSE(tree->topLevelItem(0)->child(8)->font(0).bold());
    EXPECT_FALSE(tree->topLevelItem(0)->font(0).bold());

    std::string text;
    EXPECT_EQ(session.get()->ReadSettings(text), 1);
    EXPECT_EQ(text, list.ValuesToText());
}

TEST_F(EditorTest, WritingEveryDefaultTakesADeliberateYes) {
    k57::sim::Unit& unit = Plug(5);
    editor.SendActionExecute();  // unscripted: No
    ASSERT_TRUE(k57::test::Settle(session));
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_TRUE(dialogs.boxes[0].text.contains("PIN")) << dialogs.boxes[0].text.toStdString();
    EXPECT_EQ(dialogs.boxes[0].preferred, k57::Answer::No);
    EXPECT_TRUE(unit.requests().empty());
    dialogs.answers = {k57::Answer::Yes};
    editor.SendActionExecute();
    ASSERT_TRUE(k57::test::Settle(session));
    EXPECT_EQ(k57::test::Count(unit.requests(), orvan::tms::messages::kSettings), 1);
}

TEST_F(EditorTest, AFailedWriteSaysSoAndKeepsModified) {
    ASSERT_TRUE(Select(0, 8));
    Type("3");
    ASSERT_TRUE(Select(0, 7));
    dialogs.answers = {k57::Answer::Ok};
    editor.SendActionExecute();
    ASSERT_TRUE(k57::test::Settle(session));
    EXPECT_EQ(dialogs.shown().value(1), "Ошибка: Устройство не подключено или занято");
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[0].icon, k57::Icon::None);  // the question
    EXPECT_EQ(dialogs.boxes[1].icon, k57::Icon::Warning);
    EXPECT_TRUE(editor.modified());
}

TEST_F(EditorTest, ATextTooLongForTheUnitIsRefusedUnsent) {
    k57::sim::Unit& unit = Plug(5);
    for (const char* key : {"NameBT", "ImmoBT", "Balans"}) {
        list.SetValue(key, std::string(400, 'z'));  // past the editor's checks
    }
    dialogs.answers = {k57::Answer::Ok};
    editor.SendActionExecute();
    ASSERT_TRUE(k57::test::Settle(session));
    EXPECT_EQ(dialogs.shown().value(1),
              "Ошибка: Настройки не записаны: текст настроек длиннее 1015 байт, устройство его "
              "не примет.");
    EXPECT_TRUE(unit.requests().empty());
}

TEST_F(EditorTest, ClosingAsksWhenAChangeIsTypedButNotCommitted) {
    ASSERT_TRUE(Select(0, 8));
    Type("9");
    dialogs.answers = {k57::Answer::Cancel};
    editor.close();
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(dialogs.shown(), QStringList{"Внимание: Настройки изменены, выйти без сохранения?"});
    EXPECT_EQ(dialogs.boxes[0].preferred, k57::Answer::Cancel);  // Enter keeps the changes
    EXPECT_EQ(Value("MicLevel"), "8");

    Type("8");  // back to the stored value: nothing to lose
    editor.close();
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(dialogs.boxes.size(), 1u);
}

TEST_F(EditorTest, ExitCommitsFirstAndTheValueStaysInTheList) {
    ASSERT_TRUE(Select(0, 8));
    Type("11");
    dialogs.answers = {k57::Answer::Ok};
    editor.CloseActionExecute();
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(Value("MicLevel"), "11");
}

}  // namespace
