#include "DiagnosticPlotForm.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "DialogService.h"
#include "PlotWidget.h"
#include "ScreenFit.h"

namespace {

const char kCsvFilter[] = "CSV | *.csv";

QPushButton* Button(QWidget* parent, const char* name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    return button;
}

}  // namespace

TDiagnosticPlotForm::TDiagnosticPlotForm(k57::DiagnosticTrace& trace, QWidget* parent)
    : QWidget(parent, Qt::Window), trace_(trace) {
    setObjectName("DiagnosticPlotForm");
    setWindowTitle(tr("График датчика движения"));
    RecordButton = Button(this, "RecordButton", tr("Запись…"));
    OpenButton = Button(this, "OpenButton", tr("Открыть запись…"));
    LiveButton = Button(this, "LiveButton", tr("Живые данные"));
    ClearButton = Button(this, "ClearButton", tr("Очистить"));
    StatusLabel = new QLabel(this);
    StatusLabel->setObjectName("StatusLabel");
    Plot = new k57::PlotWidget(this);
    Plot->setObjectName("Plot");
    Plot->SetData(&trace_.data());

    auto* bar = new QHBoxLayout;
    for (QPushButton* button : {RecordButton, OpenButton, LiveButton, ClearButton}) {
        bar->addWidget(button);
    }
    bar->addWidget(StatusLabel, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(Plot, 1);
    resize(900, 480);
    k57::FitToScreen(*this);  // a laptop at 150 % has less room than designed

    connect(RecordButton, &QPushButton::clicked, this, &TDiagnosticPlotForm::RecordButtonClick);
    connect(OpenButton, &QPushButton::clicked, this, &TDiagnosticPlotForm::OpenButtonClick);
    connect(LiveButton, &QPushButton::clicked, this, &TDiagnosticPlotForm::LiveButtonClick);
    connect(ClearButton, &QPushButton::clicked, this, &TDiagnosticPlotForm::ClearButtonClick);
    Status();
}

TDiagnosticPlotForm::~TDiagnosticPlotForm() = default;

void TDiagnosticPlotForm::SetDialogs(k57::DialogService* dialogs) {
    dialogs_ = dialogs;
    Plot->SetDialogs(dialogs);
}

void TDiagnosticPlotForm::RecordButtonClick() {
    if (!dialogs_) {
        return;
    }
    QString error;
    if (trace_.Recording()) {
        if (!trace_.StopRecording(error)) {
            dialogs_->error(this, tr("Не удалось записать файл %1: %2").arg(recordingPath_, error));
        }
    } else {
        QString path = dialogs_->saveFileName(this, kCsvFilter, "csv");
        if (path.isEmpty()) {
            return;
        }
        if (!trace_.StartRecording(path, error)) {
            dialogs_->error(this, tr("Не удалось записать файл %1: %2").arg(path, error));
            return;
        }
        recordingPath_ = path;
    }
    Status();
}

void TDiagnosticPlotForm::OpenButtonClick() {
    if (!dialogs_) {
        return;
    }
    QString path = dialogs_->openFileName(this, kCsvFilter, "csv");
    if (path.isEmpty()) {
        return;
    }
    auto data = std::make_unique<k57::PlotData>();
    QString error;
    if (!k57::DiagnosticTrace::Open(path, *data, error)) {
        dialogs_->error(this, tr("Не удалось прочитать файл %1: %2").arg(path, error));
        return;
    }
    opened_ = std::move(data);
    openedPath_ = path;
    Plot->SetData(opened_.get());
    Plot->ShowAll();
    Status();
}

void TDiagnosticPlotForm::LiveButtonClick() {
    Plot->SetData(&trace_.data());
    opened_.reset();
    Plot->SetPaused(false);
    Status();
}

void TDiagnosticPlotForm::ClearButtonClick() {
    trace_.Clear();
}

void TDiagnosticPlotForm::Status() {
    RecordButton->setText(trace_.Recording() ? tr("Остановить запись") : tr("Запись…"));
    LiveButton->setEnabled(opened_ != nullptr);
    ClearButton->setEnabled(opened_ == nullptr);
    QStringList status;
    if (opened_) {
        status << tr("Файл: %1").arg(QFileInfo(openedPath_).fileName());
    }
    if (trace_.Recording()) {
        status << tr("Запись в %1").arg(QFileInfo(recordingPath_).fileName());
    }
    StatusLabel->setText(status.join("; "));
}
