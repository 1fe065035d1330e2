#pragma once

#include <QDialog>
#include <QTimer>
#include <optional>

#include "DeviceSession.h"
#include "DiagnosticSession.h"

class QLabel;
class QPlainTextEdit;

// The diagnostic monitor: switches the unit into diagnostic mode and shows
// the motion sensor's three readings and the unit's event lines.
class TDiagnosticForm : public QDialog {
    Q_OBJECT

  public:
    // The log keeps the latest lines.
    static constexpr int kLogLines = 5000;

    TDiagnosticForm(k57::DeviceSession& device, QWidget* parent = nullptr);
    void done(int result) override;

  public slots:
    void Timer1Timer();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    k57::DeviceSession& device_;
    k57::DiagnosticSession diagnostic_;
    QTimer Timer1;
    // The switch into diagnostic mode is on its way; a close waits for it.
    bool entering_ = false;
    std::optional<int> doneLater_;
    QLabel* Label[3];
    QPlainTextEdit* Memo1;
};
