#include "GuardedChange.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include "ParameterList.h"
#include "PortMapping.h"
#include "UnitText.h"
#include "WindowTexts.h"

namespace k57 {

void GuardedChange::Tell(QWidget* owner) {
    std::string problem = record_.TakeProblem();
    if (!problem.empty()) {
        dialogs_.warning(owner, QCoreApplication::translate("GuardedChange", "Внимание"),
                         QCoreApplication::translate(
                             "GuardedChange",
                             "Журнал обслуживания не ведётся, работа продолжается без него.\n\n%1")
                             .arg(QString::fromStdString(problem)));
    }
}

void GuardedChange::Recorded(QWidget* owner, JournalOperation operation,
                             DeviceSession::Request request, DeviceSession::Done done,
                             std::shared_ptr<std::string> after) {
    auto port = std::make_shared<std::string>();
    ServiceRecord* record = &record_;
    device_.Submit(
        owner,
        [record, port, request = std::move(request)](DeviceInterface& unit) {
            *port = unit.PortName();
            int result = request(unit);
            if (result == kReplyOk) {
                record->Identify(unit);
            }
            return result;
        },
        [this, owner, operation, port, after, done = std::move(done)](int result) {
            bool read = result == kReplyOk && after;
            record_.Record(operation, *port, JournalResultFor(result), {}, std::nullopt,
                           read ? std::optional(*after) : std::nullopt);
            Tell(owner);
            done(result);
        });
}

// Why the backup's read failed, as a few words for the question; empty
// where there is nothing more to say.
QString GuardedChange::ReadProblem(int result) const {
    DeviceInterface* unit = device_.get();
    switch (result) {
        case kNoReply:
        case kLineLost:
            return QCoreApplication::translate("GuardedChange", "устройство не ответило");
        case kBadReply:
            return unit && unit->LastFailure().decoded
                       ? QCoreApplication::translate("GuardedChange", "ответ другого типа")
                       : QCoreApplication::translate("GuardedChange", "ответ не читается");
        default:
            return {};
    }
}

bool GuardedChange::WithoutBackup(QWidget* owner, const SettingsGuard& guard) {
    const QString why = ReadProblem(guard.readResult());
    QString question =
        guard.backup()
            ? QCoreApplication::translate("GuardedChange",
                                          "Резервная копия не сохранена: журнал обслуживания "
                                          "недоступен.\nПродолжить без резервной копии?")
        : why.isEmpty()
            ? QCoreApplication::translate("GuardedChange",
                                          "Не удалось прочитать настройки устройства для "
                                          "резервной копии.\nПродолжить без резервной копии?")
            : QCoreApplication::translate("GuardedChange",
                                          "Не удалось прочитать настройки устройства для "
                                          "резервной копии (%1).\nПродолжить без резервной копии?")
                  .arg(why);
    return dialogs_.message(owner, QCoreApplication::translate("GuardedChange", "Внимание"),
                            question, Buttons::YesNo, Answer::No) == Answer::Yes;
}

void GuardedChange::Backup(QWidget* owner, Guard guard, std::function<void()> go,
                           std::function<void()> stopped) {
    device_.Submit(
        owner, [guard](DeviceInterface& unit) { return guard->ReadBackup(unit); },
        [this, owner, guard, go = std::move(go), stopped = std::move(stopped)](int) {
            bool kept = guard->KeepBackup();
            Tell(owner);
            // A unit that did not answer is asked about too: it may merely
            // have been slow, and then it would be changed without a backup.
            // A port that does not open takes no change either.
            if (!kept && !guard->portUnavailable() && !WithoutBackup(owner, *guard)) {
                if (stopped) {
                    stopped();
                }
                return;
            }
            go();
        });
}

void GuardedChange::Write(QWidget* owner, Guard guard, const ParameterList& catalogue,
                          const std::string& text, std::function<void(const WriteCheck&)> done,
                          std::function<void()> stopped, std::optional<uint32_t> expected) {
    const ParameterList* list = &catalogue;
    auto write = [this, owner, guard, list, text, done, stopped, expected] {
        if (!guard->SameUnit(expected)) {
            std::optional<uint32_t> unit = guard->unitSerial();
            dialogs_.warning(
                owner, QCoreApplication::translate("GuardedChange", "Ошибка"),
                QCoreApplication::translate(
                    "GuardedChange",
                    "Настройки относятся к устройству %1, а подключено %2. Ничего "
                    "не записано.")
                    .arg(QString::number(*expected),
                         unit ? QString::number(*unit)
                              : QCoreApplication::translate("GuardedChange", "неизвестное")));
            if (stopped) {
                stopped();
            }
            return;
        }
        device_.Submit(
            owner,
            [guard, text](DeviceInterface& unit) { return guard->WriteSettings(unit, text); },
            [this, owner, guard, list, done](int) {
                WriteCheck check = guard->Written(*list);
                Tell(owner);
                DeviceInterface* unit = device_.get();
                if (check.writeResult == kLineLost && log_ && unit) {
                    log_(QCoreApplication::translate(
                             "GuardedChange",
                             "%1: связь потеряна во время записи; прочитайте настройки, чтобы "
                             "проверить")
                             .arg(QString::fromStdString(ports::ShownName(unit->PortName()))));
                }
                done(check);
            });
    };
    Backup(owner, std::move(guard), write, stopped);
}

QString GuardedChange::NotConfirmed(const WriteCheck& check, const ParameterList& catalogue) {
    if (check.state == WriteCheck::State::Differs) {
        QStringList names;
        for (const std::string& key : check.differing) {
            int index = catalogue.IndexOf(key);
            names << FromUnit(index < 0 ? key : catalogue.ParameterAt(index).name).trimmed();
        }
        return QCoreApplication::translate(
                   "GuardedChange",
                   "Настройки отправлены, но устройство хранит другие значения: %1.\n"
                   "Проверьте настройки: «Загрузить настройки из устройства».")
            .arg(names.join(", "));
    }
    if (check.state == WriteCheck::State::Unknown) {
        return QCoreApplication::translate(
            "GuardedChange",
            "Настройки отправлены, но прочитать их обратно не удалось: неизвестно, приняло ли "
            "их устройство.\nПроверьте настройки: «Загрузить настройки из устройства».");
    }
    return {};
}

void GuardedChange::TellWritten(DialogService& dialogs, QWidget* owner, const WriteCheck& check,
                                const ParameterList& catalogue) {
    if (check.confirmed()) {
        dialogs.message(owner, QCoreApplication::translate("GuardedChange", "Сообщение"),
                        QCoreApplication::translate(
                            "GuardedChange",
                            "Настройки записаны и подтверждены: прочитанные из устройства "
                            "совпадают."),
                        Buttons::Ok);
        return;
    }
    QString text = NotConfirmed(check, catalogue);
    dialogs.warning(owner, QCoreApplication::translate("GuardedChange", "Ошибка"),
                    text.isEmpty() ? NotConnected() : text);
}

void GuardedChange::RestoreAfterUpdate(QWidget* owner, Guard guard, const ParameterList& catalogue,
                                       Log log) {
    if (!guard->backup()) {
        return;
    }
    // The unit restarts into its new firmware first.
    QTimer::singleShot(kRestartMs, owner, [this, owner, guard, &catalogue, log] {
        CompareAfterUpdate(owner, guard, catalogue, log);
    });
}

void GuardedChange::CompareAfterUpdate(QWidget* owner, Guard guard, const ParameterList& catalogue,
                                       Log log) {
    device_.Submit(
        owner, [guard](DeviceInterface& unit) { return guard->ReadAgain(unit); },
        [this, owner, guard, &catalogue, log](int result) {
            std::vector<SettingDifference> differences = guard->Differences(catalogue);
            Tell(owner);
            if (result != kReplyOk) {
                log(QCoreApplication::translate(
                        "GuardedChange",
                        "Настройки после обновления не прочитаны; резервная копия — запись %1 "
                        "журнала обслуживания.")
                        .arg(guard->backupEntry()));
                return;
            }
            if (differences.empty()) {
                return;  // the unit kept its settings
            }
            MaskDifferences(differences);
            QStringList lines;
            for (const SettingDifference& d : differences) {
                lines << FromUnit(d.name) + ": " + FromUnit(d.before) + " -> " + FromUnit(d.after);
            }
            log(QCoreApplication::translate("GuardedChange",
                                            "Настройки изменились после обновления:\n%1")
                    .arg(lines.join('\n')));
            if (dialogs_.message(
                    owner, QCoreApplication::translate("GuardedChange", "Внимание"),
                    QCoreApplication::translate("GuardedChange",
                                                "Настройки изменились после обновления:\n%1\n\n"
                                                "Восстановить настройки?")
                        .arg(lines.join('\n')),
                    Buttons::YesNo) != Answer::Yes) {
                log(QCoreApplication::translate("GuardedChange", "Настройки не восстановлены."));
                return;
            }
            device_.Submit(
                owner, [guard](DeviceInterface& unit) { return guard->Restore(unit); },
                [this, owner, guard, &catalogue, log](int) {
                    WriteCheck check = guard->Restored(catalogue);
                    Tell(owner);
                    QString unconfirmed = NotConfirmed(check, catalogue);
                    log(check.confirmed()
                            ? QCoreApplication::translate(
                                  "GuardedChange", "Настройки восстановлены из резервной копии.")
                        : unconfirmed.isEmpty()
                            ? QCoreApplication::translate("GuardedChange",
                                                          "Настройки не восстановлены: устройство "
                                                          "не подключено или занято.")
                            : unconfirmed);
                });
        });
}

}  // namespace k57
