#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "FileDialogFolder.h"
#include "TempDir.h"

namespace {

// A home folder of the test's own, with or without Documents.
class FileDialogFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        qputenv("HOME", QByteArray::fromStdString(home_.path()));
        qunsetenv("XDG_DOCUMENTS_DIR");
        documents_ = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    }
    void TearDown() override {
        qputenv("HOME", oldHome_);
        if (!oldDocuments_.isEmpty()) {
            qputenv("XDG_DOCUMENTS_DIR", oldDocuments_);
        }
    }

    const QByteArray oldHome_ = qgetenv("HOME"), oldDocuments_ = qgetenv("XDG_DOCUMENTS_DIR");
    k57::test::TempDir home_;
    QString documents_;
};

TEST_F(FileDialogFolderTest, StartsInDocumentsThenWhereTheLastFileWasChosen) {
    ASSERT_TRUE(QDir().mkpath(documents_));
    k57::FileDialogFolder folder;
    EXPECT_EQ(folder.start(), documents_);

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
    EXPECT_EQ(folder.start(), documents_);
}

// Without Documents a save dialog started there would offer "Documents" as
// the file's name: it starts in the home folder instead.
TEST_F(FileDialogFolderTest, AMissingDocumentsFolderStartsAtHome) {
    ASSERT_FALSE(QFileInfo(documents_).isDir()) << documents_.toStdString();
    EXPECT_EQ(k57::FileDialogFolder().start(), QString::fromStdString(home_.path()));
}

}  // namespace
