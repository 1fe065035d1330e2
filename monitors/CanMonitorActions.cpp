// What the monitor's context menu opens and saves: the frames as a
// candump log, the signals they suggest as a skeleton DBC file, and the two
// companion windows, the DBC signals and the signal hunt.

#include "CanMonitorForm.h"

#include <QCheckBox>
#include <QPushButton>
#include <QScrollArea>

#include "CanHuntForm.h"
#include "CanSignalsForm.h"
#include "SignalSkeleton.h"

// The frames received since the channel opened, as a candump log.
void TCanMonitorForm::SaveFrames() {
    if (!dialogs_) {
        return;
    }
    QString path = dialogs_->saveFileName(this, "candump log | *.log", "log");
    if (path.isEmpty()) {
        return;
    }
    QString error;
    if (!can_.Save(path, error)) {
        dialogs_->error(this, tr("Не удалось записать файл %1: %2").arg(path, error));
    }
}

// The signals the frames held suggest, as a skeleton DBC to start from.
void TCanMonitorForm::SaveSignalsDbc() {
    if (!dialogs_) {
        return;
    }
    QString path = dialogs_->saveFileName(this, "DBC | *.dbc", "dbc");
    std::string error;
    if (!path.isEmpty() &&
        !k57::SignalSkeleton::Save(k57::SignalSkeleton::Propose(can_.frames()),
                                   path.toStdString(), error)) {
        dialogs_->error(this, tr("Не удалось записать файл %1: %2")
                                  .arg(path, QString::fromStdString(error)));
    }
}

void TCanMonitorForm::ShowSignals() {
    if (!signals_) {
        signals_ = new TCanSignalsForm(can_.frames(), this);
        signals_->SetDialogs(dialogs_);
    }
    signals_->show();
    signals_->raise();
    signals_->activateWindow();
}

void TCanMonitorForm::ShowHunt() {
    if (!hunt_) {
        TCanHuntForm::Monitor monitor;
        monitor.scrollTo = [this](uint64_t key) {
            size_t row = table_.RowOf(key, can_.capture().Records());
            if (row != SIZE_MAX && !CaptureBox->isChecked()) {
                int pitch = k57::CanPicture::kRowPitch;
                ScrollBox1->ensureVisible(0, int(row) * pitch + pitch / 2, 0, pitch);
            }
        };
        // A recording plays through the read tick, as a unit's frames come.
        monitor.play = [this] {
            PortButton->setText(kOpenCaption);
            Timer1.start();
        };
        // The next display tick draws the table anew.
        monitor.look = [this](const k57::TableLook& look) { table_.SetLook(look); };
        hunt_ = new TCanHuntForm(can_, dialogs_, std::move(monitor), this);
    }
    hunt_->show();
    hunt_->raise();
}
