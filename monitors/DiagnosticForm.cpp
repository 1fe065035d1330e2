#include "DiagnosticForm.h"

#include <algorithm>
#include <utility>

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QShowEvent>

#include "DiagnosticPlotForm.h"
#include "FormFont.h"
#include "ScreenFit.h"
#include "UnitText.h"

TDiagnosticForm::TDiagnosticForm(k57::DeviceSession& device, QWidget* parent)
    : QDialog(parent), device_(device) {
    setObjectName("DiagnosticForm");
    setWindowTitle("DiagnosticForm");
    setFont(k57::FormFont());
    resize(408, 481);
    const int tops[3] = {8, 27, 46};
    for (int i = 0; i < 3; ++i) {
        QString name = "Label" + QString::number(i + 1);
        Label[i] = new QLabel(name, this);
        Label[i]->setObjectName(name);
        Label[i]->move(104, tops[i]);
        Label[i]->setMinimumWidth(200);
        Label[i]->setTextFormat(Qt::PlainText);  // no rich-text guess per reading
    }
    Memo1 = new QPlainTextEdit("Memo1", this);
    Memo1->setObjectName("Memo1");
    k57::FitToScreen(*this);
    Memo1->setGeometry(0, 96, 408, std::min(385, height() - 96));
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setMaximumBlockCount(kLogLines);  // older lines drop off
    // Beside the three readings, clear of the labels and the memo.
    auto* plotButton = new QPushButton(tr("График"), this);
    plotButton->setObjectName("PlotButton");
    plotButton->setGeometry(318, 8, 82, 25);
    plotButton->setToolTip(tr("X, Y и Z во времени, события отметками (Ctrl+G)"));
    plotButton->setFocusPolicy(Qt::NoFocus);  // Esc in the memo stays the memo's
    connect(plotButton, &QPushButton::clicked, this, &TDiagnosticForm::PlotButtonClick);
    auto* plotKey = new QShortcut(QKeySequence("Ctrl+G"), this);
    connect(plotKey, &QShortcut::activated, this, &TDiagnosticForm::PlotButtonClick);
    clock_.start();
    Timer1.setInterval(kReadTickMs);
    connect(&Timer1, &QTimer::timeout, this, &TDiagnosticForm::Timer1Timer);
}

TDiagnosticForm::~TDiagnosticForm() = default;

void TDiagnosticForm::PlotButtonClick() {
    if (!plot_) {
        plot_ = new TDiagnosticPlotForm(trace_, this);
        plot_->SetDialogs(dialogs_);
    }
    plot_->show();
    plot_->raise();
    plot_->activateWindow();
}

void TDiagnosticForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) {
        return;
    }
    if (!device_.get()) {
        Timer1.start();
        return;
    }
    // The lines are read once the request is out and the port stays open.
    entering_ = true;
    device_.Submit(
        this, [](DeviceInterface& device) { return device.EnterDiagnosticMode(); },
        [this](int) {
            entering_ = false;
            if (doneLater_) {
                done(*std::exchange(doneLater_, std::nullopt));
                return;
            }
            if (DeviceInterface* device = device_.get()) {
                diagnostic_.Start(device->Channel());
            }
            Timer1.start();
        });
}

// Esc in the memo and the title bar's button both end here.
void TDiagnosticForm::done(int result) {
    if (entering_) {
        doneLater_ = result;  // the port is the request's until it is back
        return;
    }
    diagnostic_.Stop();
    Timer1.stop();
    if (plot_) {
        plot_->close();
    }
    QDialog::done(result);
}

// Takes only the bytes already waiting, and no more than a read's share, so
// a tick never waits on the port and a flood cannot stall the window: the
// rest waits for the next tick.
void TDiagnosticForm::Timer1Timer() {
    k57::DiagnosticLines::Result result = diagnostic_.Pump();
    if (!result.readings.empty() || !result.events.empty()) {
        trace_.Take(result, double(clock_.nsecsElapsed()) / 1e9);
    }
    static const char* const kAxis[3] = {"X = ", "Y = ", "Z = "};
    const bool showLabels = labelTick_++ % kLabelTicks == 0;
    for (int i = 0; i < 3; ++i) {
        if (result.axis[i]) {
            axis_[i] = result.axis[i];
        }
        if (showLabels && axis_[i]) {
            Label[i]->setText(kAxis[i] + QString::number(*std::exchange(axis_[i], std::nullopt)));
        }
    }
    // One append for the tick's events, and only as many as the log keeps.
    size_t first = result.events.size() > size_t(kLogLines) ? result.events.size() - kLogLines : 0;
    QStringList events;
    for (size_t i = first; i < result.events.size(); ++i) {
        events << k57::FromUnit(result.events[i]);
    }
    if (!events.isEmpty()) {
        Memo1->appendPlainText(events.join('\n'));
    }
}
