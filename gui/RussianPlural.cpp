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

namespace {

// A translation brings its own plural forms; the Russian ones are the
// source's, which Qt's plural lookup does not know. `russian` is the
// source text's word that a translation no longer holds.
QString Plural(qint64 count, const char* source, const char* russian, const QString& counted) {
    const QString translated =
        QCoreApplication::translate("RussianPlural", source, nullptr, int(count));
    return translated.contains(QString::fromUtf8(russian)) ? counted : translated;
}

bool TakesOne(qint64 count) {
    qint64 n = count < 0 ? -count : count;
    return n % 10 == 1 && n % 100 != 11;
}

// The sources Plural translates, marked for lupdate: the calls pass them on.
[[maybe_unused]] const char* const kPluralSources[] = {
    QT_TRANSLATE_N_NOOP("RussianPlural", "%n байт"),
    QT_TRANSLATE_N_NOOP("RussianPlural", "%n записей"),
    QT_TRANSLATE_N_NOOP("RussianPlural", "%n записей ждут"),
};

}  // namespace

QString Bytes(qint64 count) {
    return Plural(count, "%n байт", "байт", Counted(count, "байт", "байта", "байт"));
}

QString Entries(qint64 count) {
    return Plural(count, "%n записей", "запис", Counted(count, "запись", "записи", "записей"));
}

QString EntriesWait(qint64 count) {
    return Plural(count, "%n записей ждут", "запис",
                  Counted(count, "запись", "записи", "записей") +
                      QString::fromUtf8(TakesOne(count) ? " ждёт" : " ждут"));
}

}  // namespace k57
