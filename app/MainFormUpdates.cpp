// The main window's firmware and sound updates, stepped by Timer1 and Timer2.

#include <QCloseEvent>

#include "MainForm.h"
#include "UnitText.h"
#include "ui_MainForm.h"

namespace {

const char kNotConnected[] = "Устройство не подключено или занято";
const char kCancelled[] = "Обновление отменено.";
const char kSendFailed[] = "Ошибка при передачи данных";
const char kNoCrc[] = "Нет подтвеждения CRC";

}  // namespace

// While a transfer runs no other request may fall between two fragments.
void TMainForm::LockDeviceCommands(bool locked) {
    const QList<QWidget*> commands = {
        ui->PortComboBox,    ui->FindPortButton,   ui->ReadButton,      ui->OpenFileButton,
        ui->GetSerialButton, ui->GetVersionButton, ui->BlowUpdateButton};
    for (QWidget* w : commands) {
        w->setEnabled(!locked);
    }
    ui->WaveUpdateButton->setEnabled(!locked || soundTransfer_.active());
}

// Reads the unit's version and, when it is not older than the image's,
// asks whether to update anyway. A reply that is not three parts, or whose
// parts do not fit the record, counts as no reply.
bool TMainForm::UnitNeedsFirmware() {
    std::string text;
    int result = Request([&](DeviceInterface& device) { return device.ReadVersion(text); });
    VersionInfo unit;
    if (result != k57::kReplyOk || !k57::SplitVersionText(unit, text)) {
        if (result == k57::kReplyOk) {
            Log(PortText() + ": ответ на запрос версии не разбирается");
        }
        Inform("Ошибка", kNotConnected);
        return false;
    }
    if (k57::images::CompareVersions(unit.version, firmware_.info.version) < 0) {
        return true;
    }
    return dialogs_.message(this, "Внимание",
                            "Устройство уже содержит новейшую или равную версию.\n"
                            "                         Обновлять или нет?",
                            k57::Buttons::YesNo) == k57::Answer::Yes;
}

void TMainForm::BlowUpdateButtonClick() {
    DeviceInterface* device = device_.get();
    if (!device || transferRunning()) {
        return;
    }
    if (dialogs_.message(
            this, "Внимание",
            "После обновления возможно произойдет сброс настроек.\n"
            "Рекомендуется сохранить текущие настройки. (Кнопка \"Сохранить в файл\").\n"
            "Начать обновление ?",
            k57::Buttons::OkCancel) != k57::Answer::Ok ||
        !UnitNeedsFirmware()) {
        return;
    }
    ui->SaveProgress->setRange(0, 100);
    ui->SaveProgress->setValue(0);
    LockDeviceCommands(true);
    Log("Подготовка к обновлению, ждите ...");
    updateStarting_ = true;
    int result = Request([](DeviceInterface& unit) { return unit.BeginFirmwareUpdate(); });
    updateStarting_ = false;
    if (result != k57::kReplyOk) {
        Inform("Ошибка", kNotConnected);
        Log(kCancelled);
        LockDeviceCommands(false);
        return;
    }
    Log("Загрузка новой версии программы ...");
    ui->SaveProgress->setRange(0, firmwareTransfer_.steps());
    ui->SaveProgress->setValue(0);
    firmwareTransfer_.Begin();
    Timer1.start();
}

void TMainForm::Timer1Timer() {
    TransferTick(firmwareTransfer_, Timer1);
}

void TMainForm::RestoreWaveCaption() {
    ui->WaveUpdateButton->setText("Обновить звук до " + QString::number(soundDataSize_));
}

// Stops the sound transfer between two blocks, or a request of it that is
// waiting: that request ends at its next look at the port, and its handler
// finishes the stop.
void TMainForm::StopSound() {
    if (device_.running()) {
        stopRequested_ = true;
        device_.Abandon();
        return;
    }
    StopTransfer(soundTransfer_, Timer2);
}

// Ends a transfer without its commit; nothing more is sent.
void TMainForm::StopTransfer(k57::Transfer& transfer, QTimer& timer) {
    timer.stop();
    transfer.Stop();
    device_.runner().ClearLetThrough();
    RestoreWaveCaption();
    LockDeviceCommands(false);
    Log(kCancelled);
}

void TMainForm::WaveUpdateButtonClick() {
    if (soundStarting_ || soundTransfer_.active()) {
        // The button reads "Стоп" while the sound is sent: it stops.
        StopSound();
        return;
    }
    DeviceInterface* device = device_.get();
    if (!device || transferRunning() ||
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
    // "Стоп" works during the long wait for the unit's answer too.
    device_.runner().LetThrough(ui->WaveUpdateButton);
    soundStarting_ = true;
    int result = Request([](DeviceInterface& unit) { return unit.BeginWaveUpdate(); });
    soundStarting_ = false;
    if (stopRequested_) {
        stopRequested_ = false;
        StopTransfer(soundTransfer_, Timer2);
        return;
    }
    if (result != k57::kReplyOk) {
        device_.runner().ClearLetThrough();
        Inform("Ошибка", QString(kNotConnected) + ".\n" + kCancelled);
        RestoreWaveCaption();
        return;
    }
    soundTransfer_.Begin();
    LockDeviceCommands(true);
    ui->SaveProgress->setMaximum(soundTransfer_.steps());
    Timer2.start();
    Log("Идет запись звуковых данных...");
}

void TMainForm::Timer2Timer() {
    TransferTick(soundTransfer_, Timer2);
}

// One step of a running transfer. The tick disarms its timer first and
// re-arms it only when there is more to send.
void TMainForm::TransferTick(k57::Transfer& transfer, QTimer& timer) {
    timer.stop();
    if (!transfer.active() || !device_.get()) {
        return;
    }
    k57::Transfer::Step step = k57::Transfer::Step::SendFailed;
    Request([&](DeviceInterface& unit) {
        step = transfer.Next(unit);
        return k57::kReplyOk;
    });
    if (stopRequested_ && step != k57::Transfer::Step::Committed) {
        stopRequested_ = false;
        StopTransfer(transfer, timer);
        return;
    }
    stopRequested_ = false;
    if (step == k57::Transfer::Step::Sent) {
        ui->SaveProgress->setValue(ui->SaveProgress->value() + 1);
        timer.start();
        return;
    }
    FinishTransfer(transfer, step);
}

// The firmware logs how a transfer ended; the sound says it in a box.
void TMainForm::FinishTransfer(const k57::Transfer& transfer, k57::Transfer::Step step) {
    using Step = k57::Transfer::Step;
    bool firmware = &transfer == &firmwareTransfer_;
    device_.runner().ClearLetThrough();
    LockDeviceCommands(false);
    RestoreWaveCaption();
    if (step != Step::SendFailed) {
        ui->SaveProgress->setValue(ui->SaveProgress->maximum());
    }
    if (step == Step::SendFailed || step == Step::CommitRefused) {
        LogFailure();
        if (step == Step::SendFailed) {
            Inform("Ошибка", kSendFailed);
        } else {
            Inform("Ошибка обновления.", kNoCrc);
        }
        if (firmware) {
            Log(kCancelled);
        }
    } else if (firmware) {
        Log("Загрузка закончена.");
        ui->SaveProgress->setValue(ui->SaveProgress->minimum());
        ui->BlowUpdateButton->setFocus();
    } else {
        Inform("Сообщение", "Данные успешно записаны.");
    }
}

// Closing while an update runs would leave the unit half written: ask
// first. The transfer waits meanwhile; OK stops it as "Стоп" does.
void TMainForm::closeEvent(QCloseEvent* event) {
    if (!transferRunning()) {
        event->accept();
        return;
    }
    bool firmware = firmwareTransfer_.active();
    QTimer& timer = firmware ? Timer1 : Timer2;
    timer.stop();
    if (dialogs_.message(this, "Внимание", "Идет обновление. Прервать?", k57::Buttons::OkCancel) !=
        k57::Answer::Ok) {
        event->ignore();
        timer.start();
        return;
    }
    StopTransfer(firmware ? firmwareTransfer_ : soundTransfer_, timer);
    event->accept();
}
