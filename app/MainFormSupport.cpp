// The main window's help for support: the link's trace window and the
// support report.

#include <QFile>
#include <QKeySequence>

#include "Journal.h"
#include "MainForm.h"
#include "PortMapping.h"
#include "Trace.h"
#include "TraceForm.h"
#include "VCOM_Port.h"

void TMainForm::ShowTrace() {
    if (!traceForm_) {
        traceForm_ = new TTraceForm(this);
    }
    traceForm_->show();
    traceForm_->raise();
    traceForm_->activateWindow();
    traceForm_->Follow();
}

void TMainForm::SaveSupportReport() {
    QString path = dialogs_.saveFileName(this, "текстовые файлы | *.txt", "txt");
    if (path.isEmpty()) {
        return;
    }
    k57::SupportReportInput input;
    input.program = "k57tool";
    DeviceInterface* device = device_.get();
    input.port = device ? k57::ports::ShownName(device->PortName()) : std::string();
    input.portSettings = VCOM_Port::LineSettingsText();
    input.unit = unit_;
    input.trace = k57::Trace::Global().Entries();
    for (const QString& line : LogLines()) {
        input.log.push_back(line.toStdString());
    }
    // Only a journal that exists: the report must not make one.
    std::unique_ptr<k57::Journal> journal;
    if (QFile::exists(QString::fromStdString(k57::Journal::DefaultPath()))) {
        journal = std::make_unique<k57::Journal>();
        input.journal = journal.get();
    }
    WriteTextFile(path, QByteArray::fromStdString(k57::BuildSupportReport(input)));
}
