#pragma once

#include <QFrame>

#include "StationBoard.h"

class QLabel;
class QProgressBar;
class QPushButton;

// One port's row as the operator sees it from a step away: a large font,
// green when the unit is done, red when it failed, the step and a progress
// bar while it is written, the reason and what to do when it failed.
class TStationRowView : public QFrame {
    Q_OBJECT

  public:
    explicit TStationRowView(QWidget* parent = nullptr);
    void Show(const k57::StationRow& row);

  signals:
    // "Сертификат…" pressed for the unit the row shows.
    void certificateAsked();

  private:
    QLabel* port_;
    QLabel* headline_;
    QLabel* advice_;
    QProgressBar* progress_;
    QPushButton* certificate_;
};
