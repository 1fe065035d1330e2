#include "PackageText.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>

namespace k57 {

namespace {

QString PackageWords(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// The notes of the interface's language; the other's when it has none.
QString Notes(const package::Manifest& m) {
    const bool english = QLocale().language() == QLocale::English;
    const std::string& first = english ? m.notesEn : m.notesRu;
    return PackageWords(first.empty() ? (english ? m.notesRu : m.notesEn) : first);
}

// The manifest's UTC time in the PC's local time.
QString Created(const std::string& stamp) {
    QDateTime time = QDateTime::fromString(PackageWords(stamp), Qt::ISODate);
    return time.isValid() ? time.toLocalTime().toString("dd.MM.yyyy HH:mm") : PackageWords(stamp);
}

}  // namespace

QString PackageRefusalText(const PackageCheck& check, const QString& unitVersion) {
    const package::Manifest& m = check.manifest;
    switch (check.verdict) {
        case PackageVerdict::Good:
            return {};
        case PackageVerdict::Unreadable:
            return QCoreApplication::translate("PackageText", "Файл не читается.");
        case PackageVerdict::Empty:
            return QCoreApplication::translate("PackageText", "Файл пуст: пакета в нём нет.");
        case PackageVerdict::Truncated:
            return QCoreApplication::translate(
                "PackageText", "Файл обрывается раньше конца пакета: он скопирован не полностью.");
        case PackageVerdict::Oversized:
            return QCoreApplication::translate("PackageText",
                                               "Файл больше, чем может быть пакет обновления.");
        case PackageVerdict::NotAPackage:
            return QCoreApplication::translate("PackageText", "Это не пакет обновления K57.");
        case PackageVerdict::UnknownFormat:
            return QCoreApplication::translate(
                "PackageText",
                "Пакет сделан для более новой версии программы: обновите программу.");
        case PackageVerdict::TrailingBytes:
            return QCoreApplication::translate("PackageText",
                                               "После пакета в файле лишние данные.");
        case PackageVerdict::UnknownKey:
            return QCoreApplication::translate(
                       "PackageText", "Пакет подписан ключом %1, которому здесь не доверяют.")
                .arg(PackageWords(package::Hex(check.keyId)));
        case PackageVerdict::BadSignature:
            return QCoreApplication::translate("PackageText",
                                               "Подпись не сходится: пакет изменён или повреждён.");
        case PackageVerdict::BadManifest:
            return QCoreApplication::translate("PackageText",
                                               "Описание пакета не читается этой программой.");
        case PackageVerdict::ImageChanged:
            return QCoreApplication::translate(
                "PackageText", "Данные пакета не те, что подписаны: пакет изменён или повреждён.");
        case PackageVerdict::WrongKind:
            return QCoreApplication::translate("PackageText", "Пакет другого вида.");
        case PackageVerdict::WrongProduct:
            return QCoreApplication::translate("PackageText", "Пакет сделан для %1, а не для %2.")
                .arg(PackageWords(m.product), PackageWords(package::kProduct));
        case PackageVerdict::ImageVersionMismatch:
            return QCoreApplication::translate(
                "PackageText",
                "Версия, записанная в самой прошивке, не совпадает с версией пакета.");
        case PackageVerdict::NotSoundData:
            return QCoreApplication::translate(
                "PackageText", "Звуковые данные в пакете не сходятся со своим заголовком.");
        case PackageVerdict::OlderThanUnit:
            return QCoreApplication::translate("PackageText",
                                               "В устройстве версия %1, новее, чем в пакете (%2).")
                .arg(unitVersion, PackageWords(m.version));
        case PackageVerdict::BelowLowest:
            return QCoreApplication::translate(
                       "PackageText", "В устройстве версия %1, а пакет заменяет версии не ниже %2.")
                .arg(unitVersion, PackageWords(m.lowest));
    }
    return PackageWords(check.detail);
}

QString PackageDescription(const PackageCheck& check, const QString& source) {
    const package::Manifest& m = check.manifest;
    QString text = (m.kind == package::Kind::Firmware
                        ? QCoreApplication::translate("PackageText", "Прошивка %1 для %2")
                        : QCoreApplication::translate("PackageText", "Звуковые данные %1 для %2"))
                       .arg(PackageWords(m.version), PackageWords(m.product));
    if (!m.lowest.empty()) {
        text += '\n' + QCoreApplication::translate("PackageText", "Заменяет версии не ниже %1")
                           .arg(PackageWords(m.lowest));
    }
    text += '\n' + QCoreApplication::translate("PackageText", "Создан: %1").arg(Created(m.created));
    text += '\n' + (source.isEmpty()
                        ? QCoreApplication::translate("PackageText",
                                                      "Подписан: ключ %1 (встроенный в программу)")
                        : QCoreApplication::translate("PackageText", "Подписан: ключ %1 (%2)"))
                       .arg(PackageWords(package::Hex(check.keyId)), source);
    QString notes = Notes(m);
    if (!notes.isEmpty()) {
        text += "\n\n" + notes;
    }
    return text;
}

}  // namespace k57
