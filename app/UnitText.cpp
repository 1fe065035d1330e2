#include "UnitText.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace k57 {

QString FromUnit(const std::string& windows1251) {
    QStringDecoder decode("windows-1251");
    return decode(QByteArray::fromStdString(windows1251));
}

std::optional<std::string> ToUnit(const QString& text) {
    QStringEncoder encode("windows-1251", QStringEncoder::Flag::Stateless);
    QByteArray bytes = encode(text);
    if (encode.hasError()) {
        return std::nullopt;
    }
    return bytes.toStdString();
}

}  // namespace k57
