#include "RussianPlural.h"

#include <QCoreApplication>

namespace k57 {

QString Counted(qint64 count, const char* one, const char* few, const char* many) {
    qint64 n = count < 0 ? -count : count;
    qint64 lastTwo = n % 100, last = n % 10;
    const char* noun = many;
    if (lastTwo < 11 || lastTwo > 14) {
        if (last == 1) {
            noun = one;
        } else if (last >= 2 && last <= 4) {
            noun = few;
        }
    }
    return QString::number(count) + ' ' + QString::fromUtf8(noun);
}

// A translation brings its own plural forms; the Russian ones are the
// source's, which Qt's plural lookup does not know.
QString Bytes(qint64 count) {
    const QString translated =
        QCoreApplication::translate("RussianPlural", "%n байт", nullptr, int(count));
    if (!translated.contains(QString::fromUtf8("байт"))) {
        return translated;
    }
    return Counted(count, "байт", "байта", "байт");
}

}  // namespace k57
