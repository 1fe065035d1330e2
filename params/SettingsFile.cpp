#include "SettingsFile.h"

#include <QFile>
#include "SafeSave.h"

#include "SettingsLines.h"

namespace k57 {

bool SettingsFile::Read(const std::string& path, std::string& text, Problem& problem,
                        std::string& detail) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        problem = Problem::Unreadable;
        detail = file.errorString().toStdString();
        return false;
    }
    QByteArray bytes = file.read(kMaxSize + 1);
    if (bytes.size() > kMaxSize) {
        problem = Problem::TooLarge;
        return false;
    }
    std::string_view view(bytes.constData(), size_t(bytes.size()));
    std::vector<TextLine> lines = SplitLines(view);
    if (int nul = LineWithNul(lines)) {
        problem = Problem::NulByte;
        detail = std::to_string(nul);
        return false;
    }
    for (const TextLine& line : lines) {
        if (line.text.size() > kMaxLine) {
            problem = Problem::LongLine;
            detail = std::to_string(line.number);
            return false;
        }
    }
    problem = Problem::None;
    text = bytes.toStdString();
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
    QString reason;
    if (!SafeSave(QString::fromStdString(path), WithCrLf(text), reason)) {
        error = reason.toStdString();
        return false;
    }
    return true;
}

}  // namespace k57
