// The window speaks Russian: counts agree with their nouns, a port's
// failure is told in Russian words, and Qt's file dialog has no English
// left in it.

#include <gtest/gtest.h>

#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTest>
#include <cerrno>

#include "OpenProblemText.h"
#include "RussianPlural.h"
#include "TempDir.h"

namespace {

TEST(RussianTextsTest, CountsTakeTheNounFormRussianAsksFor) {
    struct Case {
        qint64 count;
        const char* text;
    };
    for (const Case& c : {Case{0, "0 байт"}, Case{1, "1 байт"}, Case{2, "2 байта"},
                          Case{3, "3 байта"}, Case{4, "4 байта"}, Case{5, "5 байт"},
                          Case{11, "11 байт"}, Case{12, "12 байт"}, Case{14, "14 байт"},
                          Case{21, "21 байт"}, Case{22, "22 байта"}, Case{101, "101 байт"},
                          Case{111, "111 байт"}, Case{112, "112 байт"}, Case{1024, "1024 байта"},
                          Case{-3, "-3 байта"}}) {
        EXPECT_EQ(k57::Bytes(c.count), QString::fromUtf8(c.text));
    }
    EXPECT_EQ(k57::Counted(21, "строка", "строки", "строк"), "21 строка");
    EXPECT_EQ(k57::Counted(13, "строка", "строки", "строк"), "13 строк");
}

TEST(RussianTextsTest, APortThatDoesNotOpenIsToldInRussian) {
    using Kind = k57::OpenProblem::Kind;
    EXPECT_EQ(k57::OpenProblemText({Kind::NoSuchPort, 0}), "нет такого порта");
    EXPECT_EQ(k57::OpenProblemText({Kind::InUse, 0}), "порт занят другой программой");
    EXPECT_EQ(k57::OpenProblemText({Kind::LineSettings, 0}), "не устанавливаются параметры порта");
    EXPECT_EQ(k57::OpenProblemText({Kind::System, EACCES}), "нет прав на доступ к порту");
    EXPECT_EQ(k57::OpenProblemText({Kind::System, ENXIO}), "устройство отключено");
    EXPECT_EQ(k57::OpenProblemText({Kind::System, EBUSY}), "порт занят другой программой");
    EXPECT_EQ(k57::OpenProblemText({Kind::System, ENOTTY}), "это не последовательный порт");
    // A code without words of its own still says it is the system's.
    EXPECT_EQ(k57::OpenProblemText({Kind::System, 9999}), "системная ошибка 9999");
}

TEST(RussianTextsTest, TheFileDialogNamesFoldersInRussian) {
    k57::test::TempDir dir;
    QString root = QString::fromStdString(dir.path());
    ASSERT_TRUE(QDir(root).mkdir("настройки"));
    QFileDialog dialog(nullptr, QString(), root, "текстовые файлы настроек (*.txt)");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setViewMode(QFileDialog::Detail);
    dialog.show();
    auto* files = dialog.findChild<QFileSystemModel*>();
    ASSERT_TRUE(files);
    QModelIndex folder;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        folder = files->index(root + "/настройки", 2);
        return folder.isValid() && !folder.data().toString().isEmpty();
    }));
    EXPECT_EQ(folder.data().toString(), "Папка");
    EXPECT_EQ(files->headerData(0, Qt::Horizontal).toString(), "Имя");
    EXPECT_EQ(files->headerData(2, Qt::Horizontal).toString(), "Тип");
    dialog.reject();
}

}  // namespace
