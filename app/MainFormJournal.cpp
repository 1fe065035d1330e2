// The main window's side of the workshop's shared journal: each entry the
// window records is handed to the sharing's thread, and a line between the
// buttons and the log says while entries wait for the server.

#include <QLabel>

#include "MainForm.h"
#include "SharingText.h"

namespace {

// In the gap between the serial/version buttons (down to 290) and the log
// (from 312), which the layout keeps at every window height.
const QRect kLineGeometry{20, 292, 277, 18};

// Operations after which a unit's record matters at once (the history, the
// restore question after an update): the workshop's is pulled.
bool ReadsUnit(k57::JournalOperation operation) {
    return operation == k57::JournalOperation::Identify ||
           operation == k57::JournalOperation::ReadSettings ||
           operation == k57::JournalOperation::Backup;
}

}  // namespace

void TMainForm::ShareJournal() {
    journalLine_ = new QLabel(this);
    journalLine_->setObjectName("JournalLine");
    journalLine_->setGeometry(kLineGeometry);
    journalLine_->hide();
    record_.SetRecorded([this](k57::JournalOperation operation, k57::JournalResult result) {
        sharing_.Recorded();
        if (result == k57::JournalResult::Ok && ReadsUnit(operation)) {
            sharing_.UnitIdentified();
        }
    });
    connect(&sharing_, &k57::JournalSharing::stateChanged, this, &TMainForm::ShowSharing);
}

void TMainForm::ShowSharing(const k57::SharingState& state) {
    QString text = k57::WaitingText(state);
    QFontMetrics metrics(journalLine_->font());
    journalLine_->setText(metrics.elidedText(text, Qt::ElideRight, kLineGeometry.width()));
    journalLine_->setToolTip(k57::SharingProblemText(state));
    journalLine_->setVisible(!text.isEmpty());
}
