#pragma once

#include <QWidget>

#include "DialogService.h"
#include "JournalSharing.h"

class QLabel;
class QLineEdit;
class QPushButton;

// The journal window's line on the workshop's server: where the journal is
// shared (or that it is this PC's alone), what waits, the last push and
// pull and the last problem; "Синхронизировать"; and the server set or
// cleared as `k57ctl journal connect` and `disconnect` do, its outcome said
// in a message box.
class TSharingBar : public QWidget {
    Q_OBJECT

  public:
    TSharingBar(k57::JournalSharing& sharing, k57::DialogService& dialogs,
                QWidget* parent = nullptr);

    QString stateText() const;

  public slots:
    void SyncButtonClick();
    // An empty address forgets the stored server.
    void ConnectButtonClick();

  private:
    void Show(const k57::SharingState& state);
    void Connected(const k57::ServerTry& result);
    void UpdateButtons();

    k57::JournalSharing& sharing_;
    k57::DialogService& dialogs_;
    bool connecting_ = false;  // a message box waits for the try asked for

    QLabel* StateLabel;
    QPushButton* SyncButton;
    QLineEdit* ServerEdit;
    QPushButton* ConnectButton;
};
