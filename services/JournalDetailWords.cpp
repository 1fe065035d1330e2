// The details the services record, told in the interface's language. Each
// pattern here is one the services build (SettingsGuard, WriteCheck,
// BatchUnit, PackageCheck, the front ends' own entries); a detail recorded
// by an older or newer version in other words is shown as recorded.

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>
#include <utility>

#include "JournalWords.h"

namespace k57 {

namespace {

// The words of a table marked with QT_TRANSLATE_NOOP.
QString Tr(const char* text) {
    return QCoreApplication::translate("JournalWords", text);
}

// The changes a backup guards, as "before …" (instrumental) and "after …"
// (genitive) need them; nothing for an operation that guards no change.
QString Before(JournalOperation operation) {
    switch (operation) {
        case JournalOperation::WriteSettings:
            return QCoreApplication::translate("JournalWords", "перед записью настроек");
        case JournalOperation::FirmwareUpdate:
            return QCoreApplication::translate("JournalWords", "перед обновлением прошивки");
        case JournalOperation::SoundUpdate:
            return QCoreApplication::translate("JournalWords", "перед обновлением звуков");
        case JournalOperation::Restore:
            return QCoreApplication::translate("JournalWords", "перед восстановлением настроек");
        default:
            return {};
    }
}

QString After(JournalOperation operation) {
    switch (operation) {
        case JournalOperation::WriteSettings:
            return QCoreApplication::translate("JournalWords", "после записи настроек");
        case JournalOperation::FirmwareUpdate:
            return QCoreApplication::translate("JournalWords", "после обновления прошивки");
        case JournalOperation::SoundUpdate:
            return QCoreApplication::translate("JournalWords", "после обновления звуков");
        case JournalOperation::Restore:
            return QCoreApplication::translate("JournalWords", "после восстановления настроек");
        default:
            return {};
    }
}

// Why a package was refused, by the verdict's code (PackageCheck's
// VerdictName); the English reason after it is not repeated.
QString Refusal(const QString& verdict) {
    struct Verdict {
        const char* code;
        const char* words;
    };
    static const Verdict kVerdicts[] = {
        {"unreadable", QT_TRANSLATE_NOOP("JournalWords", "файл не читается")},
        {"empty", QT_TRANSLATE_NOOP("JournalWords", "файл пуст")},
        {"truncated", QT_TRANSLATE_NOOP("JournalWords", "пакет скопирован не полностью")},
        {"oversized", QT_TRANSLATE_NOOP("JournalWords", "файл слишком велик для пакета")},
        {"not-a-package", QT_TRANSLATE_NOOP("JournalWords", "это не пакет обновления")},
        {"unknown-format", QT_TRANSLATE_NOOP("JournalWords", "пакет для более новой программы")},
        {"trailing-bytes", QT_TRANSLATE_NOOP("JournalWords", "после пакета лишние данные")},
        {"unknown-key", QT_TRANSLATE_NOOP("JournalWords", "ключ подписи не доверенный")},
        {"bad-signature", QT_TRANSLATE_NOOP("JournalWords", "подпись не сходится")},
        {"bad-manifest", QT_TRANSLATE_NOOP("JournalWords", "описание пакета не читается")},
        {"image-changed", QT_TRANSLATE_NOOP("JournalWords", "данные пакета изменены")},
        {"wrong-kind", QT_TRANSLATE_NOOP("JournalWords", "пакет другого вида")},
        {"wrong-product", QT_TRANSLATE_NOOP("JournalWords", "пакет для другого изделия")},
        {"image-version-mismatch",
         QT_TRANSLATE_NOOP("JournalWords", "версия в прошивке не та, что в пакете")},
        {"not-sound-data", QT_TRANSLATE_NOOP("JournalWords", "звуковые данные не сходятся")},
        {"older-than-unit", QT_TRANSLATE_NOOP("JournalWords", "в устройстве версия новее")},
        {"below-lowest",
         QT_TRANSLATE_NOOP("JournalWords", "версия устройства ниже той, что пакет заменяет")},
    };
    for (const Verdict& v : kVerdicts) {
        if (verdict == QLatin1String(v.code)) {
            return QCoreApplication::translate("JournalWords", "пакет отклонён: %1")
                .arg(Tr(v.words));
        }
    }
    return QCoreApplication::translate("JournalWords", "пакет отклонён: %1").arg(verdict);
}

// "package blake2b-256 HASH[, version V][, key K]".
QString Package(const QRegularExpressionMatch& m) {
    QString text =
        QCoreApplication::translate("JournalWords", "пакет blake2b-256 %1").arg(m.captured(1));
    if (m.hasCaptured(2)) {
        text += QCoreApplication::translate("JournalWords", ", версия %1").arg(m.captured(2));
    }
    if (m.hasCaptured(3)) {
        text += QCoreApplication::translate("JournalWords", ", ключ %1").arg(m.captured(3));
    }
    return text;
}

QRegularExpression Whole(const char* pattern) {
    return QRegularExpression(QString("^") + pattern + "$");
}

// One part of a detail; empty when it is of no known pattern.
QString PartWords(const QString& part) {
    static const std::pair<const char*, const char*> kFixed[] = {
        {"written and confirmed", QT_TRANSLATE_NOOP("JournalWords", "записано и подтверждено")},
        {"nothing reached the unit",
         QT_TRANSLATE_NOOP("JournalWords", "до устройства ничего не дошло")},
        {"read the unit's settings to learn what it holds",
         QT_TRANSLATE_NOOP("JournalWords",
                           "прочитайте настройки устройства, чтобы узнать, что в нём")},
        {"port search", QT_TRANSLATE_NOOP("JournalWords", "поиск порта")},
        {"before the start", QT_TRANSLATE_NOOP("JournalWords", "до начала")},
        {"the version check got no reply",
         QT_TRANSLATE_NOOP("JournalWords", "запрос версии остался без ответа")},
    };
    for (const auto& [english, words] : kFixed) {
        if (part == QLatin1String(english)) {
            return Tr(words);
        }
    }
    // Made once: a timeline tells hundreds of parts.
    static const QRegularExpression kBefore = Whole("before (.+)");
    static const QRegularExpression kWrittenBack = Whole("backup written back after (.+)");
    static const QRegularExpression kAfter = Whole("after (.+)");
    static const QRegularExpression kFragments = Whole("(\\d+) of (\\d+) fragments sent");
    static const QRegularExpression kDiffers =
        Whole("not confirmed: the unit holds other values for (.+)");
    static const QRegularExpression kUnread =
        Whole("not confirmed: reading the settings back failed \\((.+)\\)");
    static const QRegularExpression kBatchRow = Whole("batch (.*): row (\\d+)");
    static const QRegularExpression kBatchTemplate = Whole("batch (.*): template");
    static const QRegularExpression kFrom = Whole("from (.+)");
    static const QRegularExpression kValuesSet = Whole("(\\d+) value\\(s\\) set");
    static const QRegularExpression kNewSerial = Whole("new serial number (\\d+)");
    static const QRegularExpression kSource = Whole("entry (\\d+)");
    static const QRegularExpression kTarget = Whole("target version (.+)");
    static const QRegularExpression kPackage =
        Whole("package blake2b-256 (\\S+)(?:, version (.+?))?(?:, key (\\S+))?");
    QRegularExpressionMatch m;
    if ((m = kBefore.match(part)).hasMatch()) {
        if (auto operation = JournalOperationFrom(m.captured(1).toStdString())) {
            return Before(*operation);
        }
    } else if ((m = kWrittenBack.match(part)).hasMatch()) {
        if (auto operation = JournalOperationFrom(m.captured(1).toStdString())) {
            return QCoreApplication::translate("JournalWords",
                                               "резервная копия записана обратно %1")
                .arg(After(*operation));
        }
    } else if ((m = kAfter.match(part)).hasMatch()) {
        if (auto operation = JournalOperationFrom(m.captured(1).toStdString())) {
            return After(*operation);
        }
    } else if ((m = kFragments.match(part)).hasMatch()) {
        return QCoreApplication::translate("JournalWords", "отправлено %1 из %2 фрагментов")
            .arg(m.captured(1), m.captured(2));
    } else if ((m = kDiffers.match(part)).hasMatch()) {
        return QCoreApplication::translate(
                   "JournalWords",
                   "не подтверждено: устройство хранит другие значения параметров %1")
            .arg(m.captured(1));
    } else if ((m = kUnread.match(part)).hasMatch()) {
        if (auto result = JournalResultFrom(m.captured(1).toStdString())) {
            return QCoreApplication::translate(
                       "JournalWords", "не подтверждено: настройки не прочитаны обратно (%1)")
                .arg(ResultWords(*result));
        }
    } else if ((m = kBatchRow.match(part)).hasMatch()) {
        return QCoreApplication::translate("JournalWords", "партия %1: строка %2")
            .arg(m.captured(1), m.captured(2));
    } else if ((m = kBatchTemplate.match(part)).hasMatch()) {
        return QCoreApplication::translate("JournalWords", "партия %1: шаблон").arg(m.captured(1));
    } else if ((m = kFrom.match(part)).hasMatch()) {
        return QCoreApplication::translate("JournalWords", "из файла %1").arg(m.captured(1));
    } else if ((m = kValuesSet.match(part)).hasMatch()) {
        return QCoreApplication::translate("JournalWords", "задано значений: %1")
            .arg(m.captured(1));
    } else if ((m = kNewSerial.match(part)).hasMatch()) {
        return QCoreApplication::translate("JournalWords", "новый серийный номер %1")
            .arg(m.captured(1));
    } else if ((m = kPackage.match(part)).hasMatch()) {
        return Package(m);
    } else if ((m = kSource.match(part)).hasMatch()) {
        return QCoreApplication::translate("JournalWords", "из записи %1").arg(m.captured(1));
    } else if ((m = kTarget.match(part)).hasMatch()) {
        return QCoreApplication::translate("JournalWords", "до версии %1").arg(m.captured(1));
    }
    return {};
}

}  // namespace

// A package's refusal carries its English reason, which may itself hold
// "; ": the parts after "package refused (…)" up to the package's own part
// are that reason, told by the verdict instead.
QString DetailWords(const std::string& detail) {
    static const QRegularExpression kRefused = Whole("package refused \\(([a-z-]+)\\): .*");
    const QStringList parts = QString::fromStdString(detail).split("; ");
    QStringList shown;
    bool inRefusal = false;
    for (const QString& part : parts) {
        QRegularExpressionMatch refused = kRefused.match(part);
        if (refused.hasMatch()) {
            shown << Refusal(refused.captured(1));
            inRefusal = true;
            continue;
        }
        QString words = PartWords(part);
        if (inRefusal && part.startsWith("package blake2b-256 ")) {
            inRefusal = false;
        } else if (inRefusal) {
            continue;
        }
        shown << (words.isEmpty() ? part : words);
    }
    return shown.join("; ");
}

}  // namespace k57
