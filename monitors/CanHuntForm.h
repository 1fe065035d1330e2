#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>

#include "CanSession.h"
#include "DialogService.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

// The CAN monitor's companion for finding a signal: the identifier filter,
// un-notching, marks and the ranked candidates, and captures opened from a
// file. It works on the monitor's session; the monitor draws the table.
class TCanHuntForm : public QDialog {
    Q_OBJECT

  public:
    // `scrollTo` shows the monitor's row of an identifier (CanRecord::Key);
    // `play` starts the monitor reading a recording the session now holds.
    TCanHuntForm(k57::CanSession& can, k57::DialogService*& dialogs,
                 std::function<void(uint64_t)> scrollTo, std::function<void()> play,
                 QWidget* parent);

  public slots:
    void FilterEditReturn();
    void MarkButtonClick();
    void UnnotchAllClick();
    void UnnotchRowClick();
    void OpenButtonClick();
    void Refresh();

  private:
    k57::CanSession& can_;
    k57::DialogService*& dialogs_;
    std::function<void(uint64_t)> scrollTo_;
    std::function<void()> play_;
    std::vector<k57::SignalHunt::Candidate> ranking_;
    QTimer refresh_;
    // The ranking follows a new mark for a few seconds, as the changes after
    // it come in; otherwise it stands, and costs nothing.
    int refreshesLeft_ = 0;

    QLineEdit* FilterEdit;
    QLabel* FilterLabel;
    QLineEdit* RowEdit;
    QLineEdit* LabelEdit;
    QLabel* MarksLabel;
    QComboBox* SpeedBox;
    QListWidget* RankingList;
};
