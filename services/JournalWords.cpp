#include "JournalWords.h"

#include <QCoreApplication>
#include <QDateTime>

namespace k57 {

QString OperationWords(JournalOperation operation) {
    switch (operation) {
        case JournalOperation::Identify:
            return QCoreApplication::translate("JournalWords", "опознание");
        case JournalOperation::ReadSettings:
            return QCoreApplication::translate("JournalWords", "чтение настроек");
        case JournalOperation::WriteSettings:
            return QCoreApplication::translate("JournalWords", "запись настроек");
        case JournalOperation::FirmwareUpdate:
            return QCoreApplication::translate("JournalWords", "обновление прошивки");
        case JournalOperation::SoundUpdate:
            return QCoreApplication::translate("JournalWords", "обновление звуков");
        case JournalOperation::SetId:
            return QCoreApplication::translate("JournalWords", "смена серийного номера");
        case JournalOperation::Restart:
            return QCoreApplication::translate("JournalWords", "перезапуск");
        case JournalOperation::Restore:
            return QCoreApplication::translate("JournalWords", "восстановление настроек");
        case JournalOperation::Backup:
            return QCoreApplication::translate("JournalWords", "резервная копия");
    }
    return JournalText(operation);
}

QString ResultWords(JournalResult result) {
    switch (result) {
        case JournalResult::Ok:
            return QCoreApplication::translate("JournalWords", "успешно");
        case JournalResult::NoReply:
            return QCoreApplication::translate("JournalWords", "нет ответа");
        case JournalResult::PortUnavailable:
            return QCoreApplication::translate("JournalWords", "порт недоступен");
        case JournalResult::BadReply:
            return QCoreApplication::translate("JournalWords", "неверный ответ");
        case JournalResult::Refused:
            return QCoreApplication::translate("JournalWords", "отказ устройства");
        case JournalResult::Stopped:
            return QCoreApplication::translate("JournalWords", "остановлено");
        case JournalResult::NotSent:
            return QCoreApplication::translate("JournalWords", "не отправлено");
    }
    return JournalText(result);
}

QString FrontEndWords(JournalFrontEnd frontEnd) {
    return frontEnd == JournalFrontEnd::Window ? QCoreApplication::translate("JournalWords", "окно")
                                               : QString(JournalText(frontEnd));
}

// As a fixed offset: Qt writes a local time's ISO text without one. A PC
// on UTC itself shows "Z".
QString LocalTimeText(long long timeMs) {
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(timeMs, Qt::UTC).toLocalTime();
    return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

}  // namespace k57
