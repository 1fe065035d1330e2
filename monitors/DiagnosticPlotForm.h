#pragma once

#include <QWidget>
#include <memory>

#include "DiagnosticTrace.h"

class QLabel;
class QPushButton;

namespace k57 {
class DialogService;
class PlotWidget;
}  // namespace k57

// The motion sensor plotted: X, Y and Z as they arrive, the unit's event
// lines as labelled marks; the session recorded to a CSV file, and a
// recording opened again in place of the live trace.
class TDiagnosticPlotForm : public QWidget {
    Q_OBJECT

  public:
    TDiagnosticPlotForm(k57::DiagnosticTrace& trace, QWidget* parent = nullptr);
    ~TDiagnosticPlotForm() override;

    // Where the file choices and errors go; not owned.
    void SetDialogs(k57::DialogService* dialogs);
    k57::PlotWidget* plot() const { return Plot; }
    // Whether a recording opened from a file is shown instead of the trace.
    bool ShowingFile() const { return opened_ != nullptr; }

  public slots:
    void RecordButtonClick();
    void OpenButtonClick();
    void LiveButtonClick();
    void ClearButtonClick();

  private:
    void Status();

    k57::DiagnosticTrace& trace_;
    k57::DialogService* dialogs_ = nullptr;
    std::unique_ptr<k57::PlotData> opened_;
    QString recordingPath_, openedPath_;

    QPushButton* RecordButton;
    QPushButton* OpenButton;
    QPushButton* LiveButton;
    QPushButton* ClearButton;
    QLabel* StatusLabel;
    k57::PlotWidget* Plot;
};
