// The main window's firmware and sound updates, stepped by Timer1 and Timer2.

#include "BusyCursor.h"
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
bool TMainForm::UnitNeedsFirmware(DeviceInterface& device) {
    std::string text;
    int result = k57::WhileBusy([&] { return device.ReadVersion(text); });
    VersionInfo unit;
    if (result != k57::kReplyOk || !k57::SplitVersionText(unit, text)) {
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
        !UnitNeedsFirmware(*device)) {
        return;
    }
    ui->SaveProgress->setRange(0, 100);
    ui->SaveProgress->setValue(0);
    LockDeviceCommands(true);
    Log("Подготовка к обновлению, ждите ...");
    int result = k57::WhileBusy([&] { return device->BeginFirmwareUpdate(); });
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

void TMainForm::WaveUpdateButtonClick() {
    if (soundTransfer_.active()) {
        // The button reads "Стоп" while the sound is sent: it stops.
        Timer2.stop();
        soundTransfer_.Stop();
        RestoreWaveCaption();
        LockDeviceCommands(false);
        Log(kCancelled);
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
    int result = k57::WhileBusy([&] { return device->BeginWaveUpdate(); });
    if (result != k57::kReplyOk) {
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
    DeviceInterface* device = device_.get();
    if (!transfer.active() || !device) {
        return;
    }
    k57::Transfer::Step step = transfer.Next(*device);
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
    LockDeviceCommands(false);
    RestoreWaveCaption();
    if (step != Step::SendFailed) {
        ui->SaveProgress->setValue(ui->SaveProgress->maximum());
    }
    if (step == Step::SendFailed || step == Step::CommitRefused) {
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
