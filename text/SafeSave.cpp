#include "SafeSave.h"

#include <QSaveFile>

namespace k57 {

bool SafeSave(const QString& path, const std::string& bytes, QString& error) {
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()) || !out.commit()) {
        error = out.errorString();
        return false;
    }
    return true;
}

}  // namespace k57
