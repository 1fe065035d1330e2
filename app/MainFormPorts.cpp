// The main window's port: the list, the stored port and the port search.

#include <QSignalBlocker>
#include <stdexcept>

#include "Discovery.h"
#include "MainForm.h"
#include "StoredPort.h"
#include "UnitText.h"
#include "WindowTexts.h"
#include "ui_MainForm.h"

namespace {

void StorePort(const QString& port) {
    if (!k57::StoredPort::Write(port.toStdString())) {
        throw std::runtime_error(
            TMainForm::tr("Не удалось сохранить порт подключения.").toStdString());
    }
}

}  // namespace

QString TMainForm::StoredPortOrDefault() {
    QString stored = QString::fromStdString(k57::StoredPort::Read());
    if (stored.isEmpty()) {
        stored = k57::StoredPort::kDefaultPort;
        StorePort(stored);
    }
    return stored;
}

void TMainForm::FillPortList(const QString& stored) {
    QSignalBlocker quiet(ui->PortComboBox);
    ui->PortComboBox->clear();
    ui->PortComboBox->setEditText(QString());
    for (int n = 2; n <= 255; ++n) {
        ui->PortComboBox->addItem("COM" + QString::number(n));
    }
    ui->PortComboBox->setCurrentIndex(-1);
    ui->PortComboBox->setEditText(QString());
    SelectPort(stored);
}

// Selects the item equal to `port`, if any, without counting as a change.
void TMainForm::SelectPort(const QString& port) {
    int index = ui->PortComboBox->findText(port, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0) {
        QSignalBlocker quiet(ui->PortComboBox);
        ui->PortComboBox->setCurrentIndex(index);
    }
}

void TMainForm::PortComboBoxChange(const QString& text) {
    StorePort(text);
    if (device_.get()) {
        device_.Replace();
    }
}

// The search runs as one request; the button reads "Стоп" meanwhile and
// ends it at the next port. What it found is shown, logged and stored once
// the request has ended.
void TMainForm::FindPortButtonClick() {
    if (searchStop_) {
        *searchStop_ = true;
        device_.Abandon();
        return;
    }
    if (!device_.get()) {
        return;
    }
    auto found = std::make_shared<k57::FoundUnit>();
    auto stop = searchStop_ = std::make_shared<std::atomic<bool>>(false);
    ui->FindPortButton->setText(tr("Стоп"));
    device_.Submit(
        this,
        [found, stop](DeviceInterface& device) {
            return k57::FindUnit(device, *found, [stop](const std::string&) { return !*stop; }) ? 1
                                                                                                : 0;
        },
        [this, found, stop](int result) {
            searchStop_.reset();
            ui->FindPortButton->setText(tr("Определить"));
            // Once the request has ended: the wait's status is gone and the
            // commands are back behind the box.
            QMetaObject::invokeMethod(
                this,
                [this, found, stopped = bool(*stop), result] {
                    UpdateDeviceCommands();
                    if (stopped) {
                        Log(tr("Поиск устройства остановлен."));
                    } else if (result != 1) {
                        Log(tr("Устройство не найдено на портах COM2–COM254."));
                        Warn(tr("Внимание"), tr("Устройство не найдено"));
                    } else {
                        ShowFoundUnit(*found);
                    }
                },
                Qt::QueuedConnection);
        });
    UpdateDeviceCommands();
}

void TMainForm::ShowFoundUnit(const k57::FoundUnit& unit) {
    QString port = QString::fromStdString(unit.port);
    record_.LearnSerial(unit.port, unit.serial);
    record_.LearnVersion(
        unit.port, std::string(unit.info.type) + "\n" + unit.info.version + "\n" + unit.info.extra);
    record_.Record(k57::JournalOperation::Identify, unit.port, k57::JournalResult::Ok,
                   "port search");
    guarded_.Tell(this);
    StorePort(port);
    SelectPort(port);
    unit_.serial = unit.serial;
    unit_.versionText =
        std::string(unit.info.type) + "\n" + unit.info.version + "\n" + unit.info.extra;
    Log(tr("Устройство найдено на %1: %2, версия %3, серийный номер %4")
            .arg(port, k57::FromUnit(unit.info.type), k57::FromUnit(unit.info.version),
                 QString::number(unit.serial)));
    Inform(tr("Устройство найдено"), QString::fromStdString(k57::FoundUnitNotice(unit).toUtf8()));
}
