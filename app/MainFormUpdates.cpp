// The main window's firmware and sound updates: the workflows are
// FirmwareUpdate and SoundUpdate. Each step's result submits the next one,
// the sound's through Timer2; the window shows what each step leads to.

#include <QCloseEvent>

#include "MainForm.h"
#include "ui_MainForm.h"

namespace {

const char kNotConnected[] = "Устройство не подключено или занято";
const char kCancelled[] = "Обновление отменено.";
const char kSendFailed[] = "Ошибка при передачи данных";
const char kNoCrc[] = "Нет подтвеждения CRC";

using Stage = k57::UpdateSteps::Stage;
using Outcome = k57::UpdateOutcome;

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
    ui->WaveUpdateButton->setEnabled(!locked || update_ == &soundUpdate_);
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
    update_ = &firmwareUpdate_;
    firmwareUpdate_.Start();
    SubmitStep(firmwareUpdate_);  // the version check
}

// The unit's version is older, or the user wants the update anyway.
void TMainForm::StartFirmware() {
    ui->SaveProgress->setRange(0, 100);
    ui->SaveProgress->setValue(0);
    UpdateDeviceCommands();
    Log("Подготовка к обновлению, ждите ...");
    SubmitStep(firmwareUpdate_);
}

void TMainForm::FirmwareStepped(Stage before) {
    switch (firmwareUpdate_.stage()) {
        case Stage::Confirm:
            if (dialogs_.message(this, "Внимание",
                                 "Устройство уже содержит новейшую или равную версию.\n"
                                 "                         Обновлять или нет?",
                                 k57::Buttons::YesNo) != k57::Answer::Yes) {
                firmwareUpdate_.Stop(Outcome::Declined);
                FinishUpdate(Outcome::Declined);
                return;
            }
            firmwareUpdate_.Confirm();
            StartFirmware();
            return;
        case Stage::Begin:
            StartFirmware();
            return;
        case Stage::Send:
            if (before == Stage::Begin) {
                Log("Загрузка новой версии программы ...");
                ui->SaveProgress->setRange(0, firmwareUpdate_.progress().fragments);
            }
            ui->SaveProgress->setValue(firmwareUpdate_.progress().fragmentsSent);
            // The next fragment goes at once: the wire is the only wait.
            // Timer1 resumes the update after the close question.
            if (!asking_) {
                SubmitStep(firmwareUpdate_);
            }
            return;
        default:
            FinishUpdate(firmwareUpdate_.outcome());
    }
}

void TMainForm::Timer1Timer() {
    SubmitStep(firmwareUpdate_);
}

void TMainForm::RestoreWaveCaption() {
    ui->WaveUpdateButton->setText("Обновить звук до " + QString::number(soundDataSize_));
}

// Ends the update under way without its commit; nothing more is sent. A
// step on its way (the sound's long start wait, say) is abandoned, and its
// return finishes the stop.
void TMainForm::StopUpdate(QTimer& timer) {
    timer.stop();
    if (stepInFlight_) {
        stopRequested_ = true;
        device_.Abandon();
        return;
    }
    EndStopped();
}

void TMainForm::EndStopped() {
    if (update_) {
        update_->Stop();
    }
    update_ = nullptr;
    RestoreWaveCaption();
    UpdateDeviceCommands();
    Log(kCancelled);
}

void TMainForm::WaveUpdateButtonClick() {
    if (update_ == &soundUpdate_) {
        // The button reads "Стоп" while the sound is sent: it stops.
        StopUpdate(Timer2);
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
    update_ = &soundUpdate_;
    soundUpdate_.Start();
    SubmitStep(soundUpdate_);  // the start, which may take 20 s
}

void TMainForm::SoundStepped(Stage before) {
    if (soundUpdate_.stage() != Stage::Send) {
        FinishUpdate(soundUpdate_.outcome());
        return;
    }
    if (before == Stage::Begin) {
        UpdateDeviceCommands();
        ui->SaveProgress->setMaximum(soundUpdate_.progress().fragments);
        Log("Идет запись звуковых данных...");
    }
    ui->SaveProgress->setValue(soundUpdate_.progress().fragmentsSent);
    if (!asking_) {
        Timer2.start();
    }
}

void TMainForm::Timer2Timer() {
    SubmitStep(soundUpdate_);
}

// One step on the worker thread; the timers are single-shot, so no second
// step is submitted before the first one's result is back.
void TMainForm::SubmitStep(k57::UpdateSteps& update) {
    if (update_ != &update || stepInFlight_) {
        return;
    }
    stepInFlight_ = true;
    Stage before = update.stage();
    Request(
        [&update](DeviceInterface& unit) {
            update.Step(unit);
            return update.lastResult();
        },
        [this, &update, before](int) {
            stepInFlight_ = false;
            Stepped(update, before);
        });
}

// A stop asked for while the step was on its way takes effect now, unless
// that step was the commit the unit has already taken.
void TMainForm::Stepped(k57::UpdateSteps& update, Stage before) {
    if (stopRequested_) {
        stopRequested_ = false;
        if (update.outcome() != Outcome::Done) {
            EndStopped();
            return;
        }
    }
    if (&update == &firmwareUpdate_) {
        FirmwareStepped(before);
    } else {
        SoundStepped(before);
    }
}

// The firmware logs how it ended; the sound says it in a box. A failed
// request has its log line already.
void TMainForm::FinishUpdate(Outcome outcome) {
    bool firmware = update_ == &firmwareUpdate_;
    update_ = nullptr;
    UpdateDeviceCommands();
    RestoreWaveCaption();
    switch (outcome) {
        case Outcome::NotConnected:
            Inform("Ошибка", kNotConnected);
            return;
        case Outcome::VersionUnreadable:
            Log(PortText() + ": ответ на запрос версии не разбирается");
            Inform("Ошибка", kNotConnected);
            return;
        case Outcome::StartFailed:
            if (firmware) {
                Inform("Ошибка", kNotConnected);
                Log(kCancelled);
            } else {
                Inform("Ошибка", QString(kNotConnected) + ".\n" + kCancelled);
            }
            return;
        case Outcome::SendFailed:
        case Outcome::CommitRefused:
            if (outcome == Outcome::SendFailed) {
                Inform("Ошибка", kSendFailed);
            } else {
                ui->SaveProgress->setValue(ui->SaveProgress->maximum());
                Inform("Ошибка обновления.", kNoCrc);
            }
            if (firmware) {
                Log(kCancelled);
            }
            return;
        case Outcome::Done:
            ui->SaveProgress->setValue(ui->SaveProgress->maximum());
            if (firmware) {
                Log("Загрузка закончена.");
                ui->SaveProgress->setValue(ui->SaveProgress->minimum());
                ui->BlowUpdateButton->setFocus();
            } else {
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
    QTimer& timer = update_ == &firmwareUpdate_ ? Timer1 : Timer2;
    timer.stop();
    asking_ = true;
    k57::Answer answer =
        dialogs_.message(this, "Внимание", "Идет обновление. Прервать?", k57::Buttons::OkCancel);
    asking_ = false;
    if (answer != k57::Answer::Ok) {
        event->ignore();
        if (!stepInFlight_ && transferRunning()) {
            timer.start();
        }
        return;
    }
    StopUpdate(timer);
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
