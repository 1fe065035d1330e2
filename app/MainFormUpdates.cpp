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
    ui->SaveProgress->setRange(0, firmwareTransfer_.fragments());
    ui->SaveProgress->setValue(0);
    firmwareTransfer_.Begin();
    Timer1.start();
}

void TMainForm::Timer1Timer() {
    Timer1.stop();
    DeviceInterface* device = device_.get();
    if (!firmwareTransfer_.active() || !device) {
        return;
    }
    FirmwareTransfer::Step step = firmwareTransfer_.Next(*device);
    if (step == FirmwareTransfer::Step::Sent) {
        ui->SaveProgress->setValue(ui->SaveProgress->value() + 1);
        Timer1.start();
        return;
    }
    FinishFirmware(step);
}

void TMainForm::FinishFirmware(FirmwareTransfer::Step step) {
    LockDeviceCommands(false);
    switch (step) {
        case FirmwareTransfer::Step::SendFailed:
            Inform("Ошибка", kSendFailed);
            Log(kCancelled);
            break;
        case FirmwareTransfer::Step::CommitRefused:
            ui->SaveProgress->setValue(ui->SaveProgress->maximum());
            Inform("Ошибка обновления.", kNoCrc);
            Log(kCancelled);
            break;
        default:
            ui->SaveProgress->setValue(ui->SaveProgress->maximum());
            Log("Загрузка закончена.");
            ui->SaveProgress->setValue(ui->SaveProgress->minimum());
            ui->BlowUpdateButton->setFocus();
            break;
    }
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
    ui->SaveProgress->setMaximum(soundTransfer_.blocks());
    Timer2.start();
    Log("Идет запись звуковых данных...");
}

void TMainForm::Timer2Timer() {
    Timer2.stop();
    DeviceInterface* device = device_.get();
    if (!soundTransfer_.active() || !device) {
        return;
    }
    SoundTransfer::Step step = soundTransfer_.Next(*device);
    if (step == SoundTransfer::Step::Sent) {
        ui->SaveProgress->setValue(ui->SaveProgress->value() + 1);
        Timer2.start();
        return;
    }
    FinishSound(step);
}

void TMainForm::FinishSound(SoundTransfer::Step step) {
    LockDeviceCommands(false);
    RestoreWaveCaption();
    switch (step) {
        case SoundTransfer::Step::SendFailed:
            Inform("Ошибка", kSendFailed);
            break;
        case SoundTransfer::Step::CommitRefused:
            ui->SaveProgress->setValue(ui->SaveProgress->maximum());
            Inform("Ошибка обновления.", kNoCrc);
            break;
        default:
            ui->SaveProgress->setValue(ui->SaveProgress->maximum());
            Inform("Сообщение", "Данные успешно записаны.");
            break;
    }
}
