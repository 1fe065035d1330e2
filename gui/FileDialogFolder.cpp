#include "FileDialogFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace k57 {

QString FileDialogFolder::start() const {
    if (!last_.isEmpty() && QFileInfo(last_).isDir()) {
        return last_;
    }
    // A missing folder would read as the file's name in a save dialog.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void FileDialogFolder::remember(const QString& path) {
    if (!path.isEmpty()) {
        last_ = QFileInfo(path).absolutePath();
    }
}

}  // namespace k57
