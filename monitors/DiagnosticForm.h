#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <optional>

#include "DeviceSession.h"
#include "DiagnosticSession.h"
#include "DiagnosticTrace.h"

class QLabel;
class QPlainTextEdit;
class TDiagnosticPlotForm;

namespace k57 {
class DialogService;
}

// The diagnostic monitor: switches the unit into diagnostic mode and shows
// the motion sensor's three readings and the unit's event lines.
class TDiagnosticForm : public QDialog {
    Q_OBJECT

  public:
    // The log keeps the latest lines.
    static constexpr int kLogLines = 5000;
    // How often the port is read and the readings shown. A read takes every
    // line waiting, so the labels and the plot show the same as at a
    // millisecond's tick; ten a second is as fast as anyone reads a number,
    // the plot redraws at that pace anyway, and what waits between two
    // reads (50 lines, 1.3 KB, at 500 a second) stays well inside a
    // serial terminal's 4 KB input buffer.
    static constexpr int kReadTickMs = 100;
    // The three numbers change with every reading; shown five times a second
    // (as a multimeter's display) they can be read, and the form repaints
    // half as often. The plot shows every reading.
    static constexpr int kLabelTicks = 2;

    TDiagnosticForm(k57::DeviceSession& device, QWidget* parent = nullptr);
    ~TDiagnosticForm() override;
    void done(int result) override;
    // Where the plot's file choices go; not owned.
    void SetDialogs(k57::DialogService* dialogs) { dialogs_ = dialogs; }
    // The readings and events over time, for the plot and for tests.
    const k57::DiagnosticTrace& trace() const { return trace_; }

  public slots:
    void Timer1Timer();
    // The plot of the readings, opened beside the monitor.
    void PlotButtonClick();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    k57::DeviceSession& device_;
    k57::DiagnosticSession diagnostic_;
    k57::DiagnosticTrace trace_;
    QElapsedTimer clock_;  // the trace's time
    k57::DialogService* dialogs_ = nullptr;
    TDiagnosticPlotForm* plot_ = nullptr;  // a child, made when first asked for
    QTimer Timer1;
    // The switch into diagnostic mode is on its way; a close waits for it.
    bool entering_ = false;
    std::optional<int> doneLater_;
    std::optional<int> axis_[3];  // the latest readings, not yet shown
    int labelTick_ = 0;
    QLabel* Label[3];
    QPlainTextEdit* Memo1;
};
