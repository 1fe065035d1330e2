#include "UnitText.h"

#include "Cp1251.h"

namespace k57 {

QString FromUnit(const std::string& windows1251) {
    return QString::fromStdString(cp1251::ToUtf8(windows1251));
}

std::optional<std::string> ToUnit(const QString& text) {
    return cp1251::FromUtf8(text.toStdString());
}

}  // namespace k57
