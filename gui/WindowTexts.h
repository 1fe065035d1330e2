#pragma once

#include <QCoreApplication>
#include <QString>

namespace k57 {

// What the windows say when a request to the unit got nothing usable; the
// log says why beside it. The Russian text, and as shown.
inline constexpr char kNotConnected[] =
    QT_TRANSLATE_NOOP("WindowTexts", "Устройство не подключено или занято");
inline QString NotConnected() {
    return QCoreApplication::translate("WindowTexts", kNotConnected);
}

}  // namespace k57
