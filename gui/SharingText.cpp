#include "SharingText.h"

#include <QCoreApplication>
#include <QDateTime>

#include "RussianPlural.h"

namespace k57 {

namespace {

QString Words(const std::string& text) {
    return QString::fromStdString(text);
}

// The journal's UTC stamp in the PC's local time, to the second.
QString When(const std::string& stamp) {
    if (stamp.empty()) {
        return QCoreApplication::translate("SharingText", "не было");
    }
    QDateTime time = QDateTime::fromString(QString::fromStdString(stamp), Qt::ISODateWithMs);
    return time.isValid() ? time.toLocalTime().toString("dd.MM.yyyy HH:mm:ss") : Words(stamp);
}

// An address the environment names may not be readable: it is not shown
// then, since it may hold a password.
QString Server(const SharingState& state) {
    QString shown = state.server.empty()
                        ? QCoreApplication::translate("SharingText", "(адрес не читается)")
                        : Words(state.server);
    if (state.fromEnvironment) {
        shown += QCoreApplication::translate("SharingText", " (задан в K57_JOURNAL_SERVER)");
    }
    return shown;
}

// What is stored is not what is used while the environment names a server.
QString EnvironmentNote(bool fromEnvironment) {
    return fromEnvironment
               ? '\n' +
                     QCoreApplication::translate(
                         "SharingText",
                         "Пока задана переменная K57_JOURNAL_SERVER, используется сервер из неё.")
               : QString();
}

}  // namespace

QString SharingStateText(const SharingState& state) {
    if (!state.configured) {
        return QCoreApplication::translate("SharingText", "Сервер журнала: нет, только этот ПК");
    }
    QStringList lines;
    lines << QCoreApplication::translate("SharingText", "Сервер журнала: %1").arg(Server(state));
    QString waiting =
        state.queued < 0 ? QCoreApplication::translate("SharingText", "Ждут отправки: неизвестно")
        : state.queued > 0 ? QCoreApplication::translate("SharingText", "Ждут отправки: %1")
                                 .arg(Entries(state.queued))
                           : QCoreApplication::translate("SharingText", "Все записи отправлены");
    lines << waiting + QCoreApplication::translate("SharingText", "; отправка: %1; получение: %2")
                           .arg(When(state.lastPush), When(state.lastPull));
    if (!state.lastProblem.empty()) {
        lines << SharingProblemText(state);
    }
    return lines.join('\n');
}

QString WaitingText(const SharingState& state) {
    if (!state.configured || state.queued <= 0) {
        return {};
    }
    return QCoreApplication::translate("SharingText", "Журнал: %1 отправки на сервер")
        .arg(EntriesWait(state.queued));
}

QString SharingProblemText(const SharingState& state) {
    if (state.lastProblem.empty()) {
        return {};
    }
    // libpq indents the lines of its messages.
    return QCoreApplication::translate("SharingText", "Последняя попытка не удалась: %1")
        .arg(Words(state.lastProblem).simplified());
}

QString ServerTryText(const ServerTry& result, bool fromEnvironment) {
    using Outcome = ServerTry::Outcome;
    QString text;
    switch (result.outcome) {
        case Outcome::Unreadable:
            return QCoreApplication::translate("SharingText", "Адрес сервера не читается: %1")
                .arg(Words(result.reason));
        case Outcome::NotStored:
            return QCoreApplication::translate("SharingText",
                                               "Не удалось записать настройки программы.");
        case Outcome::Unreachable:
            text = QCoreApplication::translate(
                       "SharingText",
                       "Сервер журнала %1 задан, но сейчас не отвечает (%2). Записи будут ждать "
                       "отправки, пока он не ответит.")
                       .arg(Words(result.shown), Words(result.reason));
            break;
        case Outcome::Unusable:
            text = QCoreApplication::translate(
                       "SharingText",
                       "Сервер журнала %1 задан и отвечает, но его журналом пользоваться нельзя: "
                       "%2")
                       .arg(Words(result.shown), Words(result.reason));
            break;
        case Outcome::Usable:
            text = QCoreApplication::translate("SharingText", "Сервер журнала %1 задан и отвечает.")
                       .arg(Words(result.shown));
            break;
    }
    return text + EnvironmentNote(fromEnvironment);
}

QString ServerClearedText(bool fromEnvironment) {
    return QCoreApplication::translate("SharingText",
                                       "Сервер журнала не задан: журнал только этого ПК.") +
           EnvironmentNote(fromEnvironment);
}

}  // namespace k57
