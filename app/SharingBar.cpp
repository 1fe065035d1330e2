#include "SharingBar.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "JournalServer.h"
#include "SharingText.h"

namespace {

// Long enough for a conninfo string with TLS options; what is longer is
// not an address.
constexpr int kMaxAddress = 1000;

}  // namespace

TSharingBar::TSharingBar(k57::JournalSharing& sharing, k57::DialogService& dialogs, QWidget* parent)
    : QWidget(parent), sharing_(sharing), dialogs_(dialogs) {
    StateLabel = new QLabel;
    StateLabel->setObjectName("SharingStateLabel");
    StateLabel->setWordWrap(true);
    StateLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    SyncButton = new QPushButton(tr("Синхронизировать"));
    SyncButton->setObjectName("SyncButton");
    ServerEdit = new QLineEdit;
    ServerEdit->setObjectName("ServerEdit");
    ServerEdit->setMaxLength(kMaxAddress);
    ServerEdit->setPlaceholderText(tr("postgresql://пользователь@сервер/k57 (пусто: без сервера)"));
    ConnectButton = new QPushButton(tr("Подключить…"));
    ConnectButton->setObjectName("ConnectButton");

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(StateLabel, 0, 0);
    layout->addWidget(SyncButton, 0, 1, Qt::AlignTop);
    layout->addWidget(ServerEdit, 1, 0);
    layout->addWidget(ConnectButton, 1, 1);
    layout->setColumnStretch(0, 1);

    connect(SyncButton, &QPushButton::clicked, this, &TSharingBar::SyncButtonClick);
    connect(ConnectButton, &QPushButton::clicked, this, &TSharingBar::ConnectButtonClick);
    // Enter in the line connects, never clears: the button does that.
    connect(ServerEdit, &QLineEdit::returnPressed, this, [this] {
        if (!ServerEdit->text().trimmed().isEmpty()) {
            ConnectButtonClick();
        }
    });
    // Enter elsewhere in the journal window presses neither.
    SyncButton->setAutoDefault(false);
    ConnectButton->setAutoDefault(false);
    connect(&sharing_, &k57::JournalSharing::stateChanged, this, &TSharingBar::Show);
    connect(&sharing_, &k57::JournalSharing::connected, this, &TSharingBar::Connected);
    Show(sharing_.state());
    sharing_.Refresh();
}

QString TSharingBar::stateText() const {
    return StateLabel->text();
}

void TSharingBar::Show(const k57::SharingState& state) {
    StateLabel->setText(k57::SharingStateText(state));
    UpdateButtons();
}

void TSharingBar::UpdateButtons() {
    SyncButton->setEnabled(sharing_.state().configured && !sharing_.busy());
    ConnectButton->setEnabled(!connecting_);
}

void TSharingBar::SyncButtonClick() {
    sharing_.SyncNow();
    UpdateButtons();
}

void TSharingBar::ConnectButtonClick() {
    if (connecting_) {
        return;
    }
    std::string address = ServerEdit->text().trimmed().toStdString();
    if (address.empty()) {
        if (!sharing_.Disconnect()) {
            k57::ServerTry notStored;
            notStored.outcome = k57::ServerTry::Outcome::NotStored;
            dialogs_.error(this, k57::ServerTryText(notStored, false));
            return;
        }
        dialogs_.message(this, tr("Журнал обслуживания"),
                         k57::ServerClearedText(k57::ServerFromEnvironment()), k57::Buttons::Ok);
        return;
    }
    connecting_ = true;
    UpdateButtons();
    sharing_.Connect(address);
}

// The address is kept in the line only while it could not be read: once
// stored, a password in it is not left on the screen.
void TSharingBar::Connected(const k57::ServerTry& result) {
    if (!connecting_) {
        return;
    }
    connecting_ = false;
    UpdateButtons();
    if (result.outcome != k57::ServerTry::Outcome::Unreadable) {
        ServerEdit->clear();
    }
    dialogs_.message(this, tr("Журнал обслуживания"),
                     k57::ServerTryText(result, k57::ServerFromEnvironment()), k57::Buttons::Ok);
}
