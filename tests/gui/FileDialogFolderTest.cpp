#include <gtest/gtest.h>

#include <QDir>
#include <QStandardPaths>

#include "FileDialogFolder.h"
#include "TempDir.h"

namespace {

TEST(FileDialogFolderTest, StartsInDocumentsThenWhereTheLastFileWasChosen) {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    k57::FileDialogFolder folder;
    EXPECT_EQ(folder.start(), documents);

    k57::test::TempDir first, second;
    QString firstPath = QString::fromStdString(first.path());
    folder.remember(firstPath + "/settings.txt");
    EXPECT_EQ(folder.start(), firstPath);
    folder.remember(QString());  // cancelled: the folder stays
    EXPECT_EQ(folder.start(), firstPath);

    QString secondPath = QString::fromStdString(second.path());
    folder.remember(secondPath + "/новые настройки.txt");
    EXPECT_EQ(folder.start(), secondPath);

    // A folder that has gone since sends the dialog back to Documents.
    ASSERT_TRUE(QDir(secondPath).removeRecursively());
    EXPECT_EQ(folder.start(), documents);
}

}  // namespace
