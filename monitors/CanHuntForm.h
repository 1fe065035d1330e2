#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>

#include "CanSession.h"
#include "DialogService.h"
#include "PlotData.h"
#include "SignalSearch.h"
#include "TableLook.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QSpinBox;
class QLineEdit;
class QListWidget;
class TCanMarksPanel;
namespace k57 {
class PlotWidget;
}

// The CAN monitor's companion for finding a signal: the identifier filter,
// un-notching, marks and the ranked candidates (bits that changed after the
// marks; fields whose value moved as the marks say, the chosen one plotted),
// captures opened from a file,
// and how the table shows time (heat, rate, hold, silent identifiers). It
// works on the monitor's session; the monitor draws the table.
class TCanHuntForm : public QDialog {
    Q_OBJECT

  public:
    // What the companion asks of the monitor.
    struct Monitor {
        // Shows the row of an identifier (CanRecord::Key).
        std::function<void(uint64_t)> scrollTo;
        // Starts reading a recording the session now holds.
        std::function<void()> play;
        // Draws the table so from now on.
        std::function<void(const k57::TableLook&)> look;
    };

    TCanHuntForm(k57::CanSession& can, k57::DialogService*& dialogs, Monitor monitor,
                 QWidget* parent);

  public slots:
    void FilterEditReturn();
    void MarkButtonClick();
    void UnnotchAllClick();
    void UnnotchRowClick();
    void OpenButtonClick();
    void Refresh();
    // Any of the table's choices changed: remembered and shown.
    void TableChoiceChanged();

  private:
    QWidget* BuildTableChoices();
    // The fields whose value moved as the marks say, when they say so.
    void Search();
    void PlotCandidate(int row);

    k57::CanSession& can_;
    k57::DialogService*& dialogs_;
    Monitor monitor_;
    std::vector<k57::SignalHunt::Candidate> ranking_;
    std::vector<k57::SignalSearch::Candidate> found_;
    std::vector<k57::LoggedFrame> searched_;  // the frames found_ was searched in
    k57::PlotData plot_;
    QTimer refresh_;
    // The ranking follows a new mark for a few seconds, as the changes after
    // it come in; otherwise it stands, and costs nothing.
    int refreshesLeft_ = 0;

    QLineEdit* FilterEdit;
    QLabel* FilterLabel;
    QLineEdit* RowEdit;
    TCanMarksPanel* MarksPanel;
    QListWidget* SearchList;
    k57::PlotWidget* Plot;
    QComboBox* SpeedBox;
    QListWidget* RankingList;
    QCheckBox* HeatBox;
    QCheckBox* RateBox;
    QCheckBox* HoldBox;
    QDoubleSpinBox* HoldEdit;
    QComboBox* SilenceBox;
    QSpinBox* QuietEdit;
};
