// The main window's requests and its log: every request runs on the
// session's worker thread; a failed one gets a log line naming the port and the cause, and
// a long wait shows on the progress bar.

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextBlock>

#include "BatchStationForm.h"
#include "HistoryForm.h"
#include "MainForm.h"
#include "OpenProblemText.h"
#include "PortMapping.h"
#include "RussianPlural.h"
#include "SafeSave.h"
#include "ScreenFit.h"
#include "ui_MainForm.h"

namespace {

QString Shown(const std::string& port) {
    return QString::fromStdString(k57::ports::ShownName(port));
}

// When a log line was written; the saved log carries it, the window does not.
class LineTime : public QTextBlockUserData {
  public:
    explicit LineTime(QDateTime time) : time(std::move(time)) {}
    const QDateTime time;
};

}  // namespace

// A line holding line breaks becomes several lines, each with the same time.
void TMainForm::Log(const QString& line) {
    ui->Memo1->appendPlainText(line);
    QDateTime now = QDateTime::currentDateTime();
    for (QTextBlock block = ui->Memo1->document()->lastBlock();
         block.isValid() && !block.userData(); block = block.previous()) {
        block.setUserData(new LineTime(now));
    }
}

void TMainForm::RecordedRequest(k57::JournalOperation operation,
                                k57::DeviceSession::Request request, std::function<void(int)> done,
                                std::shared_ptr<std::string> after) {
    guarded_.Recorded(
        this, operation, std::move(request),
        [this, done = std::move(done)](int result) {
            if (result != k57::kReplyOk) {
                LogFailure();
            }
            done(result);
        },
        std::move(after));
}

QString TMainForm::PortText() const {
    DeviceInterface* device = device_.get();
    return device ? Shown(device->PortName()) : QString();
}

// A request the user stopped says so by itself.
void TMainForm::LogFailure() {
    DeviceInterface* device = device_.get();
    if (!device) {
        return;
    }
    k57::RequestFailure f = device->LastFailure();
    QString port = Shown(f.port);
    switch (f.result) {
        case k57::kPortUnavailable:
            Log(tr("%1: порт не открывается (%2)").arg(port, k57::OpenProblemText(f.openProblem)));
            break;
        case k57::kNoReply:
            if (!f.abandoned) {
                Log(tr("%1: нет ответа за %2 с").arg(port).arg(f.timeoutMs / 1000));
            }
            break;
        case k57::kBadReply:
            if (f.decoded) {
                Log(tr("%1: ответ другого типа (%2 вместо %3)")
                        .arg(port)
                        .arg(f.replyType)
                        .arg(f.expectedType));
            } else {
                Log(tr("%1: ответ не читается (тип %2, %3)")
                        .arg(port, QString::number(f.replyType), k57::Bytes(f.replyLength)));
            }
            break;
        case k57::kLineLost:
            Log(tr("%1: связь потеряна; подключите устройство и повторите").arg(port));
            break;
        case k57::kCannotFrame:
            Log(tr("%1: текст настроек слишком длинный для устройства (%2)")
                    .arg(port, k57::Bytes(qint64(f.textLength))));
            break;
        default:
            break;
    }
}

// The progress bar says what is waited for while a request takes long.
void TMainForm::ShowWait(const QString& port, int seconds) {
    if (port.isEmpty()) {
        ui->SaveProgress->setTextVisible(false);
        return;
    }
    ui->SaveProgress->setFormat(
        tr("%1: ожидание ответа… %2 с").arg(Shown(port.toStdString())).arg(seconds));
    ui->SaveProgress->setTextVisible(true);
}

void TMainForm::Memo1ContextMenu(const QPoint& at) {
    std::unique_ptr<QMenu> menu(ui->Memo1->createStandardContextMenu());
    menu->addSeparator();
    QAction* save = menu->addAction(tr("Сохранить журнал…"));
    QAction* clear = menu->addAction(tr("Очистить"));
    QAction* history = menu->addAction(tr("Журнал обслуживания…"));
    history->setObjectName("HistoryAction");
    connect(history, &QAction::triggered, this, &TMainForm::ShowHistory);
    QAction* batch = menu->addAction(tr("Партия…"));
    batch->setObjectName("BatchStationAction");
    connect(batch, &QAction::triggered, this, &TMainForm::ShowStation);
    menu->addAction(packageAction_);
    menu->addSeparator();
    QAction* trace = menu->addAction(tr("Трассировка обмена…"));
    QAction* report = menu->addAction(tr("Сохранить отчёт для поддержки…"));
    save->setObjectName("SaveLogAction");
    clear->setObjectName("ClearLogAction");
    trace->setObjectName("ShowTraceAction");
    trace->setShortcut(QKeySequence("Ctrl+Shift+T"));
    report->setObjectName("SupportReportAction");
    connect(save, &QAction::triggered, this, &TMainForm::SaveLog);
    connect(clear, &QAction::triggered, ui->Memo1, &QPlainTextEdit::clear);
    connect(trace, &QAction::triggered, this, &TMainForm::ShowTrace);
    connect(report, &QAction::triggered, this, &TMainForm::SaveSupportReport);
    menu->addSeparator();
    AddLanguageMenu(*menu);
    menu->exec(ui->Memo1->viewport()->mapToGlobal(at));
}

// Not while an update runs: the history window reaches the unit too.
void TMainForm::ShowHistory() {
    if (busyWithUnit()) {
        return;
    }
    THistoryForm history(guarded_, dialogs_, parameterList_, this, &sharing_);
    history.exec();
}

void TMainForm::ShowStation() {
    if (!station_) {
        station_ = new TBatchStationForm(dialogs_, this);
        k57::CentreOnScreen(*station_);
    }
    station_->show();
    station_->raise();
    station_->activateWindow();
}

// One line each, as the technician sees it, each after the time it was
// written: "2026-12-07 16:50:03  text".
QStringList TMainForm::LogLines() const {
    QStringList lines;
    const QTextDocument* log = ui->Memo1->document();
    if (!log->isEmpty()) {
        for (QTextBlock block = log->firstBlock(); block.isValid(); block = block.next()) {
            auto* written = static_cast<const LineTime*>(block.userData());
            QString time = written ? written->time.toString("yyyy-MM-dd HH:mm:ss") : QString();
            lines << time + "  " + block.text();
        }
    }
    return lines;
}

// The log as UTF-8 text.
void TMainForm::SaveLog() {
    QString path = dialogs_.saveFileName(this, tr("текстовые файлы | *.txt"), "txt");
    if (path.isEmpty()) {
        return;
    }
    QByteArray text;
    for (const QString& line : LogLines()) {
        text += line.toUtf8() + '\n';
    }
    WriteTextFile(path, text);
}

void TMainForm::WriteTextFile(const QString& path, const QByteArray& text) {
    std::string error;
    if (!k57::SafeSave(path.toStdString(), std::string_view(text.constData(), size_t(text.size())),
                       error)) {
        dialogs_.error(
            this, tr("Не удалось записать файл %1: %2").arg(path, QString::fromStdString(error)));
        return;
    }
    // Where it went, so the file can be found again.
    Log(tr("Сохранено в файл %1").arg(QDir::toNativeSeparators(path)));
}
