#pragma once

#include <QStringEncoder>
#include <string>

namespace k57::test {

// The Windows-1251 bytes of a UTF-8 text, for comparing with model strings.
inline std::string Cp1251(const char* utf8) {
    QStringEncoder encode("windows-1251");
    QByteArray bytes = encode(QString::fromUtf8(utf8));
    return bytes.toStdString();
}

}  // namespace k57::test
