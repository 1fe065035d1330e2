// The main window's firmware and sound updates: the workflows are
// FirmwareUpdate and SoundUpdate, run step by step by an UpdateRun; the
// window asks, shows the progress and says how each update ended.

#include <QCloseEvent>
#include <QLocale>

#include "MainForm.h"
#include "UnitText.h"
#include "WindowTexts.h"
#include "ui_MainForm.h"

namespace {

using Stage = k57::UpdateSteps::Stage;
using Outcome = k57::UpdateOutcome;

// "1:05": minutes and seconds.
QString Clock(int seconds) {
    return QString("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QChar('0'));
}

// One decimal, as the language writes it ("8,4", "8.4"), never grouped.
QString Decimal(double value) {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'f', 1);
}

// "8,4 с"
QString Seconds(double seconds) {
    return TMainForm::tr("%1 с").arg(Decimal(seconds));
}

// "фрагментов: 12 из 92"
QString Fragments(const k57::UpdateProgress& p) {
    return TMainForm::tr("фрагментов: %1 из %2").arg(p.fragmentsSent).arg(p.fragments);
}

QString Cancelled() {
    return TMainForm::tr("Обновление отменено");
}

}  // namespace

// While a request or an update runs no other request may fall in between;
// "Стоп" stays usable while the sound is sent.
void TMainForm::UpdateDeviceCommands() {
    bool locked = transferRunning() || device_.running();
    const QList<QWidget*> commands = {
        ui->PortComboBox,    ui->FindPortButton,   ui->ReadButton,      ui->OpenFileButton,
        ui->GetSerialButton, ui->GetVersionButton, ui->BlowUpdateButton};
    for (QWidget* w : commands) {
        w->setEnabled(!locked);
    }
    ui->WaveUpdateButton->setEnabled(!locked || SoundRunning() || preparingSound_);
    packageAction_->setEnabled(!locked);
    ui->FindPortButton->setEnabled(!locked || searchStop_);
}

void TMainForm::BlowUpdateButtonClick() {
    if (!device_.get() || transferRunning()) {
        return;
    }
    if (dialogs_.message(
            this, tr("Внимание"),
            tr("После обновления возможно произойдет сброс настроек.\n"
               "Рекомендуется сохранить текущие настройки. (Кнопка \"Сохранить в файл\").\n"
               "Начать обновление ?"),
            k57::Buttons::OkCancel) != k57::Answer::Ok) {
        return;
    }
    StartUpdate(k57::JournalOperation::FirmwareUpdate,
                [this] { update_.Start(firmwareUpdate_); });  // the version check first
}

// The unit's settings are kept in the journal before every update.
void TMainForm::StartUpdate(k57::JournalOperation operation, std::function<void()> go,
                            std::function<void()> stopped) {
    updateGuard_ = guarded_.MakeGuard(operation);
    guarded_.Backup(this, updateGuard_, std::move(go), std::move(stopped));
}

bool TMainForm::SoundRunning() const {
    return dynamic_cast<const k57::SoundUpdate*>(update_.update()) != nullptr;
}

void TMainForm::WaveUpdateButtonClick() {
    if (SoundRunning()) {
        // The button reads "Стоп" while the sound is sent: it stops.
        update_.Stop();
        return;
    }
    if (preparingSound_) {
        // "Стоп" while the backup is read: nothing is sent.
        stopPreparing_ = true;
        device_.Abandon();
        return;
    }
    if (!device_.get() || transferRunning() ||
        dialogs_.message(this, tr("Внимание"),
                         tr("Произвести загрузку звуковых данных?\n"
                            "Старые данные будут удалены безвозвратно!"),
                         k57::Buttons::OkCancel) != k57::Answer::Ok) {
        return;
    }
    StartSound(soundUpdate_);
}

void TMainForm::StartSound(k57::SoundUpdate& update) {
    ui->SaveProgress->setMinimum(0);
    ui->SaveProgress->setValue(0);
    ui->WaveUpdateButton->setText(tr("Стоп"));
    Log(tr("Подготовка к записи, ждите..."));
    preparingSound_ = true;
    stopPreparing_ = false;
    auto prepared = [this, &update](bool go) {
        preparingSound_ = false;
        if (go && !stopPreparing_) {
            // The start may take 20 s; then a block every 10 ms.
            update_.Start(update, kSoundPauseMs);
            return;
        }
        RestoreWaveCaption();
        if (updateGuard_) {
            updateGuard_->Changed(k57::JournalResult::Stopped, "before the start");
            updateGuard_.reset();
        }
        Log(tr("%1: остановлено до начала передачи, ничего не передано.").arg(Cancelled()));
        UpdateDeviceCommands();
    };
    StartUpdate(
        k57::JournalOperation::SoundUpdate, [prepared] { prepared(true); },
        [prepared] { prepared(false); });
}

// What a step led to: a question, the start, or one more fragment sent.
void TMainForm::UpdateStepped(Stage before, Stage now) {
    auto* firmware = dynamic_cast<k57::FirmwareUpdate*>(update_.update());
    const k57::UpdateProgress& progress = update_.update()->progress();
    if (now == Stage::Confirm) {
        QString unit = k57::FromUnit(firmware->unit().version);
        QString image = k57::FromUnit(firmware->image().version);
        if (firmware == packageFirmware_.get() && packageFirmware_->downgrade()) {
            // An older firmware may be what a workshop wants, but never by
            // a hasty Enter.
            if (dialogs_.message(this, tr("Внимание"),
                                 tr("В устройстве версия %1, новее, чем в пакете (%2).\n"
                                    "Установить более старую версию?")
                                     .arg(unit, image),
                                 k57::Buttons::YesNo, k57::Answer::No) != k57::Answer::Yes) {
                update_.Stop(Outcome::Declined);
                return;
            }
            update_.Confirm();
            return;
        }
        if (dialogs_.message(this, tr("Внимание"),
                             tr("Устройство уже содержит новейшую или равную версию.\n"
                                "                         Обновлять или нет?\n\n"
                                "В устройстве: %1, в программе: %2.")
                                 .arg(unit, image),
                             k57::Buttons::YesNo) != k57::Answer::Yes) {
            update_.Stop(Outcome::Declined);
            return;
        }
        update_.Confirm();
        return;
    }
    if (now == Stage::Begin && firmware) {
        ui->SaveProgress->setRange(0, 100);
        ui->SaveProgress->setValue(0);
        UpdateDeviceCommands();
        Log(tr("Подготовка к обновлению, ждите ..."));
        return;
    }
    if (now != Stage::Send) {
        return;
    }
    if (before == Stage::Begin) {
        UpdateDeviceCommands();
        ui->SaveProgress->setRange(0, progress.fragments);
        Log(firmware ? tr("Загрузка новой версии программы ...")
                     : tr("Идет запись звуковых данных..."));
    }
    ShowProgress(progress);
}

// Percentage, rate and time left on the progress bar, as k57ctl shows them.
void TMainForm::ShowProgress(const k57::UpdateProgress& progress) {
    ui->SaveProgress->setValue(progress.fragmentsSent);
    if (progress.fragmentsSent == 0) {
        return;
    }
    ui->SaveProgress->setFormat(
        tr("%1 %  ·  %2 КБ/с  ·  осталось %3")
            .arg(progress.Percent())
            .arg(Decimal(progress.bytesPerSecond / 1024.0), Clock(progress.SecondsLeft())));
    ui->SaveProgress->setTextVisible(true);
}

void TMainForm::RestoreWaveCaption() {
    ui->WaveUpdateButton->setText(tr("Обновить звук до %1").arg(soundDataSize_));
}

// Every update ends with one log line for its outcome: how far it got and,
// after a failure, what to do next. A failed request has its own line
// before it, naming the port and the cause.
void TMainForm::UpdateFinished(k57::UpdateSteps* update) {
    auto* firmware = dynamic_cast<k57::FirmwareUpdate*>(update);
    Outcome outcome = update->outcome();
    const k57::UpdateProgress& progress = update->progress();
    // A unit unplugged midway is told as such, with what to do, at the
    // moment it went.
    if (update->lastResult() == k57::kLineLost) {
        Log(tr("%1: связь потеряна во время обновления; подключите устройство и повторите "
               "обновление")
                .arg(PortText()));
    } else if (update->lastResult() != k57::kReplyOk) {
        LogFailure();
    }
    k57::GuardedChange::Guard guard = std::move(updateGuard_);
    if (guard) {
        guard->Changed(*update, UpdateSource(update));
        guarded_.Tell(this);
    }
    UpdateDeviceCommands();
    RestoreWaveCaption();
    ui->SaveProgress->setTextVisible(false);
    const QString cancelled = Cancelled();
    switch (outcome) {
        case Outcome::NotConnected:
            Warn(tr("Ошибка"), k57::NotConnected());
            Log(tr("Обновление не начато: устройство не ответило. Проверьте подключение и порт."));
            return;
        case Outcome::VersionUnreadable:
            Log(tr("%1: ответ на запрос версии не разбирается").arg(PortText()));
            Warn(tr("Ошибка"), k57::NotConnected());
            Log(tr("Обновление не начато: версия устройства не разбирается."));
            return;
        case Outcome::Declined:
            Log(tr("Обновление не начато: в устройстве уже версия %1.")
                    .arg(k57::FromUnit(firmware->unit().version)));
            return;
        case Outcome::PackageRefused:
            TellRefusal(packageFirmware_->check(), k57::FromUnit(firmware->unit().version));
            return;
        case Outcome::StartFailed:
            if (firmware) {
                Warn(tr("Ошибка"), k57::NotConnected());
            } else {
                Warn(tr("Ошибка"), k57::NotConnected() + ".\n" + cancelled + ".");
            }
            Log(tr("%1: устройство не начало обновление, ничего не передано. "
                   "Проверьте подключение и повторите.")
                    .arg(cancelled));
            return;
        case Outcome::SendFailed:
            Warn(tr("Ошибка"), tr("Ошибка при передачи данных"));
            Log(tr("%1: фрагмент %2 из %3 не подтверждён, ничего не записано. Проверьте "
                   "подключение и повторите обновление: оно начнётся сначала.")
                    .arg(cancelled)
                    .arg(update->failedFragment())
                    .arg(progress.fragments));
            return;
        case Outcome::CommitRefused:
            ui->SaveProgress->setValue(ui->SaveProgress->maximum());
            Warn(tr("Ошибка обновления."), tr("Нет подтвеждения CRC"));
            Log(tr("%1: устройство не подтвердило контрольную сумму (передано %2). Повторите "
                   "обновление: оно начнётся сначала.")
                    .arg(cancelled, Fragments(progress)));
            return;
        case Outcome::Stopped:
            if (progress.fragments == 0) {
                Log(tr("%1: остановлено до начала передачи, ничего не передано.").arg(cancelled));
            } else {
                Log(tr("%1: остановлено, передано %2. Повторите обновление, чтобы записать всё.")
                        .arg(cancelled, Fragments(progress)));
            }
            return;
        case Outcome::Done:
            ui->SaveProgress->setValue(ui->SaveProgress->maximum());
            if (firmware) {
                Log(tr("Загрузка закончена. Передано %1 за %2.")
                        .arg(Fragments(progress), Seconds(progress.seconds)));
                ui->SaveProgress->setValue(ui->SaveProgress->minimum());
                ui->BlowUpdateButton->setFocus();
                // The unit restarted into the new firmware: did it keep its settings?
                if (guard) {
                    guarded_.RestoreAfterUpdate(this, guard, parameterList_,
                                                [this](const QString& line) { Log(line); });
                }
            } else {
                Log(tr("Звуковые данные записаны. Передано %1 за %2.")
                        .arg(Fragments(progress), Seconds(progress.seconds)));
                Inform(tr("Сообщение"), tr("Данные успешно записаны."));
            }
            return;
        default:
            return;
    }
}

// Closing while an update runs would leave the unit half written: ask
// first. No step is sent meanwhile; OK stops the update as "Стоп" does. A
// close during a plain request waits for its end.
void TMainForm::closeEvent(QCloseEvent* event) {
    if (!transferRunning()) {
        if (device_.running()) {
            closeLater_ = true;
            event->ignore();
            return;
        }
        event->accept();
        return;
    }
    update_.Hold();
    k57::Answer answer = dialogs_.message(this, tr("Внимание"), tr("Идет обновление. Прервать?"),
                                          k57::Buttons::OkCancel, k57::Answer::Cancel);
    if (answer != k57::Answer::Ok) {
        event->ignore();
        update_.Resume();
        return;
    }
    update_.Stop();
    event->accept();
}

// The worker has nothing left to do: the commands come back, and a close
// that waited goes ahead.
void TMainForm::RequestsIdle() {
    UpdateDeviceCommands();
    if (closeLater_) {
        closeLater_ = false;
        QTimer::singleShot(0, this, &QWidget::close);
    }
}
