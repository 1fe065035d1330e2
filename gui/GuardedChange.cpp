#include "GuardedChange.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include "ParameterList.h"
#include "UnitText.h"

namespace k57 {

void GuardedChange::Tell(QWidget* owner) {
    std::string problem = record_.TakeProblem();
    if (!problem.empty()) {
        dialogs_.message(owner, QCoreApplication::translate("GuardedChange", "Внимание"),
                         QCoreApplication::translate(
                             "GuardedChange",
                             "Журнал обслуживания не ведётся, работа продолжается без него.\n\n%1")
                             .arg(QString::fromStdString(problem)),
                         Buttons::Ok);
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

void GuardedChange::Backup(QWidget* owner, Guard guard, std::function<void()> go,
                           std::function<void()> stopped) {
    device_.Submit(
        owner, [guard](DeviceInterface& unit) { return guard->ReadBackup(unit); },
        [this, owner, guard, go = std::move(go), stopped = std::move(stopped)](int) {
            bool kept = guard->KeepBackup();
            Tell(owner);
            // A unit that did not answer at all is not asked about: the
            // change cannot reach it either and says so itself.
            if (!kept && guard->unitAnswered() &&
                dialogs_.message(owner, QCoreApplication::translate("GuardedChange", "Внимание"),
                                 QCoreApplication::translate(
                                     "GuardedChange",
                                     "Не удалось прочитать настройки устройства для "
                                     "резервной копии.\nПродолжить без резервной копии?"),
                                 Buttons::YesNo, Answer::No) != Answer::Yes) {
                if (stopped) {
                    stopped();
                }
                return;
            }
            go();
        });
}

void GuardedChange::Write(QWidget* owner, Guard guard, const std::string& text,
                          std::function<void(int)> done, std::function<void()> stopped,
                          std::optional<uint32_t> expected) {
    auto write = [this, owner, guard, text, done, stopped, expected] {
        if (!guard->SameUnit(expected)) {
            std::optional<uint32_t> unit = guard->unitSerial();
            dialogs_.message(
                owner, QCoreApplication::translate("GuardedChange", "Ошибка"),
                QCoreApplication::translate(
                    "GuardedChange",
                    "Настройки относятся к устройству %1, а подключено %2. Ничего "
                    "не записано.")
                    .arg(QString::number(*expected),
                         unit ? QString::number(*unit)
                              : QCoreApplication::translate("GuardedChange", "неизвестное")),
                Buttons::Ok);
            if (stopped) {
                stopped();
            }
            return;
        }
        device_.Submit(
            owner, [guard, text](DeviceInterface& unit) { return unit.WriteSettings(text); },
            [this, owner, guard, text, done](int result) {
                guard->Changed(result, {}, text);
                Tell(owner);
                done(result);
            });
    };
    Backup(owner, std::move(guard), write, stopped);
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
                [this, owner, guard, log](int restored) {
                    guard->Restored(restored);
                    Tell(owner);
                    log(restored == kReplyOk
                            ? QCoreApplication::translate(
                                  "GuardedChange", "Настройки восстановлены из резервной копии.")
                            : QCoreApplication::translate("GuardedChange",
                                                          "Настройки не восстановлены: устройство "
                                                          "не подключено или занято."));
                });
        });
}

}  // namespace k57
