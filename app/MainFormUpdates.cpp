// The main window's firmware and sound updates: the workflows are
// FirmwareUpdate and SoundUpdate, run step by step by an UpdateRun; the
// window asks, shows the progress and says how each update ended.

#include <QCloseEvent>

#include "MainForm.h"
#include "UnitText.h"
#include "WindowTexts.h"
#include "ui_MainForm.h"

namespace {

const char kCancelled[] = "Обновление отменено";
const char kSendFailed[] = "Ошибка при передачи данных";
const char kNoCrc[] = "Нет подтвеждения CRC";

using Stage = k57::UpdateSteps::Stage;
using Outcome = k57::UpdateOutcome;

// "1:05": minutes and seconds.
QString Clock(int seconds) {
    return QString("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QChar('0'));
}

// "8,4 с": seconds with one decimal, the Russian way.
QString Seconds(double seconds) {
    return QString::number(seconds, 'f', 1).replace('.', ',') + " с";
}

// "фрагментов: 12 из 92"
QString Fragments(const k57::UpdateProgress& p) {
    return "фрагментов: " + QString::number(p.fragmentsSent) + " из " +
           QString::number(p.fragments);
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
    ui->WaveUpdateButton->setEnabled(!locked || update_.update() == &soundUpdate_ ||
                                     preparingSound_);
    ui->FindPortButton->setEnabled(!locked || searchStop_);
}

void TMainForm::BlowUpdateButtonClick() {
    if (!device_.get() || transferRunning()) {
        return;
    }
    if (dialogs_.message(
            this, "Внимание",
            "После обновления возможно произойдет сброс настроек.\n"
            "Рекомендуется сохранить текущие настройки. (Кнопка \"Сохранить в файл\").\n"
            "Начать обновление ?",
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

void TMainForm::WaveUpdateButtonClick() {
    if (update_.update() == &soundUpdate_) {
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
        dialogs_.message(this, "Внимание",
                         "Произвести загрузку звуковых данных?\n"
                         "Старые данные будут удалены безвозвратно!",
                         k57::Buttons::OkCancel) != k57::Answer::Ok) {
        return;
    }
    ui->SaveProgress->setMinimum(0);
    ui->SaveProgress->setValue(0);
    ui->WaveUpdateButton->setText("Стоп");
    Log("Подготовка к записи, ждите...");
    preparingSound_ = true;
    stopPreparing_ = false;
    auto prepared = [this](bool go) {
        preparingSound_ = false;
        if (go && !stopPreparing_) {
            // The start may take 20 s; then a block every 10 ms.
            update_.Start(soundUpdate_, kSoundPauseMs);
            return;
        }
        RestoreWaveCaption();
        if (updateGuard_) {
            updateGuard_->Changed(k57::JournalResult::Stopped, "before the start");
            updateGuard_.reset();
        }
        Log(QString(kCancelled) + ": остановлено до начала передачи, ничего не передано.");
        UpdateDeviceCommands();
    };
    StartUpdate(
        k57::JournalOperation::SoundUpdate, [prepared] { prepared(true); },
        [prepared] { prepared(false); });
}

// What a step led to: a question, the start, or one more fragment sent.
void TMainForm::UpdateStepped(Stage before, Stage now) {
    bool firmware = update_.update() == &firmwareUpdate_;
    const k57::UpdateProgress& progress = update_.update()->progress();
    if (now == Stage::Confirm) {
        QString unit = k57::FromUnit(firmwareUpdate_.unit().version);
        QString image = k57::FromUnit(firmware_.info.version);
        if (dialogs_.message(this, "Внимание",
                             "Устройство уже содержит новейшую или равную версию.\n"
                             "                         Обновлять или нет?\n\n"
                             "В устройстве: " +
                                 unit + ", в программе: " + image + ".",
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
        Log("Подготовка к обновлению, ждите ...");
        return;
    }
    if (now != Stage::Send) {
        return;
    }
    if (before == Stage::Begin) {
        UpdateDeviceCommands();
        ui->SaveProgress->setRange(0, progress.fragments);
        Log(firmware ? "Загрузка новой версии программы ..." : "Идет запись звуковых данных...");
    }
    ShowProgress(progress);
}

// Percentage, rate and time left on the progress bar, as k57ctl shows them.
void TMainForm::ShowProgress(const k57::UpdateProgress& progress) {
    ui->SaveProgress->setValue(progress.fragmentsSent);
    if (progress.fragmentsSent == 0) {
        return;
    }
    QString rate = QString::number(progress.bytesPerSecond / 1024.0, 'f', 1).replace('.', ',');
    ui->SaveProgress->setFormat(QString::number(progress.Percent()) + " %  ·  " + rate +
                                " КБ/с  ·  осталось " + Clock(progress.SecondsLeft()));
    ui->SaveProgress->setTextVisible(true);
}

void TMainForm::RestoreWaveCaption() {
    ui->WaveUpdateButton->setText("Обновить звук до " + QString::number(soundDataSize_));
}

// Every update ends with one log line for its outcome: how far it got and,
// after a failure, what to do next. A failed request has its own line
// before it, naming the port and the cause.
void TMainForm::UpdateFinished(k57::UpdateSteps* update) {
    bool firmware = update == &firmwareUpdate_;
    Outcome outcome = update->outcome();
    const k57::UpdateProgress& progress = update->progress();
    if (update->lastResult() != k57::kReplyOk) {
        LogFailure();
    }
    k57::GuardedChange::Guard guard = std::move(updateGuard_);
    if (guard) {
        guard->Changed(*update);
        guarded_.Tell(this);
    }
    UpdateDeviceCommands();
    RestoreWaveCaption();
    ui->SaveProgress->setTextVisible(false);
    QString cancelled = kCancelled;
    switch (outcome) {
        case Outcome::NotConnected:
            Inform("Ошибка", k57::kNotConnected);
            Log("Обновление не начато: устройство не ответило. Проверьте подключение и порт.");
            return;
        case Outcome::VersionUnreadable:
            Log(PortText() + ": ответ на запрос версии не разбирается");
            Inform("Ошибка", k57::kNotConnected);
            Log("Обновление не начато: версия устройства не разбирается.");
            return;
        case Outcome::Declined:
            Log("Обновление не начато: в устройстве уже версия " +
                k57::FromUnit(firmwareUpdate_.unit().version) + ".");
            return;
        case Outcome::StartFailed:
            if (firmware) {
                Inform("Ошибка", k57::kNotConnected);
            } else {
                Inform("Ошибка", QString(k57::kNotConnected) + ".\n" + kCancelled + ".");
            }
            Log(cancelled +
                ": устройство не начало обновление, ничего не передано. "
                "Проверьте подключение и повторите.");
            return;
        case Outcome::SendFailed:
            Inform("Ошибка", kSendFailed);
            Log(cancelled + ": фрагмент " + QString::number(update->failedFragment()) + " из " +
                QString::number(progress.fragments) +
                " не подтверждён, ничего не записано. Проверьте подключение и повторите "
                "обновление: оно начнётся сначала.");
            return;
        case Outcome::CommitRefused:
            ui->SaveProgress->setValue(ui->SaveProgress->maximum());
            Inform("Ошибка обновления.", kNoCrc);
            Log(cancelled + ": устройство не подтвердило контрольную сумму (передано " +
                Fragments(progress) + "). Повторите обновление: оно начнётся сначала.");
            return;
        case Outcome::Stopped:
            if (progress.fragments == 0) {
                Log(cancelled + ": остановлено до начала передачи, ничего не передано.");
            } else {
                Log(cancelled + ": остановлено, передано " + Fragments(progress) +
                    ". Повторите обновление, чтобы записать всё.");
            }
            return;
        case Outcome::Done:
            ui->SaveProgress->setValue(ui->SaveProgress->maximum());
            if (firmware) {
                Log("Загрузка закончена. Передано " + Fragments(progress) + " за " +
                    Seconds(progress.seconds) + ".");
                ui->SaveProgress->setValue(ui->SaveProgress->minimum());
                ui->BlowUpdateButton->setFocus();
                // The unit restarted into the new firmware: did it keep its settings?
                if (guard) {
                    guarded_.RestoreAfterUpdate(this, guard, parameterList_,
                                                [this](const QString& line) { Log(line); });
                }
            } else {
                Log("Звуковые данные записаны. Передано " + Fragments(progress) + " за " +
                    Seconds(progress.seconds) + ".");
                Inform("Сообщение", "Данные успешно записаны.");
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
    k57::Answer answer = dialogs_.message(this, "Внимание", "Идет обновление. Прервать?",
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
