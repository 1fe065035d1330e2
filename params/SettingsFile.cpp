#include "SettingsFile.h"

#include <QFile>
#include <QSaveFile>

namespace k57 {

bool SettingsFile::Read(const std::string& path, std::string& text, std::string& error) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString().toStdString();
        return false;
    }
    text = file.readAll().toStdString();
    return true;
}

std::string SettingsFile::WithCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char c : text) {
        if (c == '\n') {
            out += '\r';
        }
        out += c;
    }
    return out;
}

bool SettingsFile::Write(const std::string& path, const std::string& text, std::string& error) {
    std::string bytes = WithCrLf(text);
    QSaveFile out(QString::fromStdString(path));
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()) || !out.commit()) {
        error = out.errorString().toStdString();
        return false;
    }
    return true;
}

}  // namespace k57
