#include "FileDialogFolder.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace k57 {

QString FileDialogFolder::start() const {
    if (!last_.isEmpty() && QFileInfo(last_).isDir()) {
        return last_;
    }
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

void FileDialogFolder::remember(const QString& path) {
    if (!path.isEmpty()) {
        last_ = QFileInfo(path).absolutePath();
    }
}

}  // namespace k57
