#include "MainForm.h"

#include <QAction>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QShortcut>
#include <QTemporaryFile>
#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "CanMonitorForm.h"
#include "DiagnosticForm.h"
#include "ParametersEditForm.h"
#include "RussianPlural.h"
#include "ScreenFit.h"
#include "SettingsMessages.h"
#include "SettingsProblemLines.h"
#include "SettingsService.h"
#include "UnitText.h"
#include "WindowTexts.h"
#include "ui_MainForm.h"

namespace {

// The log's designed place; a window shorter than designed takes the loss
// from the log, down to a few lines.
constexpr int kLogTop = 312, kLogHeight = 177, kLogLeast = 48;

}  // namespace

TMainForm::TMainForm(k57::DialogService& dialogs, k57::SessionFactory sessions, QWidget* parent)
    : QWidget(parent),
      ui(new Ui::TMainForm),
      dialogs_(dialogs),
      notifier_(dialogs),
      device_(std::move(sessions)) {
    ui->setupUi(this);
    // Updates from a package: on the update buttons' own menu, and in the
    // log's beside the window's other additions.
    packageAction_ = new QAction(tr("Обновить из файла…"), this);
    packageAction_->setObjectName("PackageUpdateAction");
    connect(packageAction_, &QAction::triggered, this, &TMainForm::PackageUpdateClick);
    for (QWidget* button : {ui->BlowUpdateButton, ui->WaveUpdateButton}) {
        button->addAction(packageAction_);
        button->setContextMenuPolicy(Qt::ActionsContextMenu);
    }
    k57::FitToScreen(*this);
    ui->PortComboBox->setCompleter(nullptr);  // each keystroke is a port change of its own
    // Tab moves on from the log, as it does from every other control.
    ui->Memo1->setTabChangesFocus(true);
    // The log is a record of what happened: it can be selected, copied,
    // saved and cleared, never typed into or undone.
    ui->Memo1->setReadOnly(true);
    ui->Memo1->setUndoRedoEnabled(false);
    ui->Memo1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    ui->Memo1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->Memo1, &QWidget::customContextMenuRequested, this, &TMainForm::Memo1ContextMenu);
    device_.worker().SetWaitStatus(
        [this](const QString& port, int seconds) { ShowWait(port, seconds); });
    connect(&device_.worker(), &k57::RequestWorker::busyChanged, this, [this](bool busy) {
        if (busy) {
            UpdateDeviceCommands();
        } else {
            RequestsIdle();
        }
    });

    firmware_ = k57::images::LoadFirmware();
    QString type = k57::FromUnit(firmware_.info.type);
    if (type == "K57_r0") {
        type = "K57";
    }
    QString version = k57::FromUnit(firmware_.info.version);
    setWindowTitle(tr("%1     Версия: %2").arg(type, version));
    ui->BlowUpdateButton->setText(tr("Обновить прошивку до %1").arg(version));
    soundDataSize_ = k57::images::SoundDataSize();
    RestoreWaveCaption();
    ui->Memo1->clear();

    // The session is made once the default port is stored, so that a fresh
    // installation talks to COM5 at once.
    FillPortList(StoredPortOrDefault());
    device_.Replace();

    parameterList_.LoadCatalogue(k57::images::Catalogue());
    if (!parameterList_.loadError().empty()) {
        std::fprintf(stderr, "%s\n", parameterList_.loadError().c_str());
        Log(QString::fromStdString(parameterList_.loadError()));
    }

    connect(ui->PortComboBox, &QComboBox::editTextChanged, this, &TMainForm::PortComboBoxChange);
    connect(ui->FindPortButton, &QPushButton::clicked, this, &TMainForm::FindPortButtonClick);
    connect(ui->ReadButton, &QPushButton::clicked, this, &TMainForm::ReadButtonClick);
    connect(ui->OpenFileButton, &QPushButton::clicked, this, &TMainForm::OpenFileButtonClick);
    connect(ui->BlowUpdateButton, &QPushButton::clicked, this, &TMainForm::BlowUpdateButtonClick);
    connect(ui->WaveUpdateButton, &QPushButton::clicked, this, &TMainForm::WaveUpdateButtonClick);
    // Armed only while an update runs, once a step's result is back: single
    // shot, so a message box cannot let another step in.
    connect(&update_, &k57::UpdateRun::stepped, this, &TMainForm::UpdateStepped);
    connect(&update_, &k57::UpdateRun::finished, this, &TMainForm::UpdateFinished);
    // The monitors' hidden entries: double clicks on the log and on the port
    // group box itself (not on the controls inside it).
    ui->Memo1->viewport()->installEventFilter(this);
    ui->GroupBox1->installEventFilter(this);
    connect(ui->GetSerialButton, &QPushButton::clicked, this, &TMainForm::GetSerialButtonClick);
    connect(ui->GetVersionButton, &QPushButton::clicked, this, &TMainForm::GetVersionButtonClick);
    auto* trace = new QShortcut(QKeySequence("Ctrl+Shift+T"), this);
    connect(trace, &QShortcut::activated, this, &TMainForm::ShowTrace);
    // A settings write the editor starts is told in this window's log too.
    guarded_.SetLog([this](const QString& line) { Log(line); });
    ShareJournal();
}

TMainForm::~TMainForm() = default;

void TMainForm::SetEditor(TParametersEditForm* editor) {
    editor_ = editor;
    if (editor_) {
        editor_->SetGuardedChange(&guarded_);
    }
}

void TMainForm::Inform(const QString& caption, const QString& text) {
    dialogs_.message(this, caption, text, k57::Buttons::Ok);
}

void TMainForm::Warn(const QString& caption, const QString& text) {
    dialogs_.warning(this, caption, text);
}

void TMainForm::ShowEditor() {
    if (editor_) {
        editor_->parameters = &parameterList_;
        editor_->exec();
    }
}

// Every problem line goes to the log; the message lists the first ten.
void TMainForm::ListSettingsProblems(const QString& intro, const k57::SettingsVerdict& verdict) {
    const size_t shown = 10;
    std::vector<k57::SettingsLine> problems = verdict.Problems();
    if (problems.empty()) {
        return;
    }
    QStringList lines;
    for (const k57::SettingsLine& line : problems) {
        Log(k57::ProblemLine(line));
        if (size_t(lines.size()) < shown) {
            lines << k57::ProblemLine(line);
        }
    }
    if (problems.size() > shown) {
        lines << tr("и ещё %1").arg(problems.size() - shown);
    }
    Inform(tr("Внимание"), intro + "\n" + lines.join('\n'));
}

void TMainForm::ReadButtonClick() {
    if (!device_.get()) {
        ShowEditor();
        return;
    }
    auto reply = std::make_shared<std::string>();
    RecordedRequest(
        k57::JournalOperation::ReadSettings,
        [reply](DeviceInterface& device) { return device.ReadSettings(*reply); },
        [this, reply](int result) {
            const std::string& text = *reply;
            if (result != k57::kReplyOk) {
                Warn(tr("Загрузка не возможна"), k57::NotConnected() + ".");
                return;
            }
            // The unit's values are kept as they are; the technician learns of
            // those the editor would refuse before writing them back.
            k57::SettingsVerdict verdict = k57::SettingsService(parameterList_).LoadUnitText(text);
            ListSettingsProblems(
                tr("В настройках устройства есть недопустимые значения (они оставлены как есть):"),
                verdict);
            ShowEditor();
        },
        reply);
}

void TMainForm::OpenFileButtonClick() {
    QString path = dialogs_.openFileName(this, tr("текстовые файлы настроек | *.txt"), "txt");
    if (path.isEmpty()) {
        return;
    }
    k57::SettingsService settings(parameterList_);
    k57::SettingsFileVerdict file = settings.ReadFile(path.toStdString());
    if (!file.readable()) {
        dialogs_.error(this, tr("Не удалось открыть файл %1: %2")
                                 .arg(path, k57::FileProblem(file.problem, file.detail)));
        return;
    }
    // Written to the unit, such a file would reset every setting.
    if (file.verdict.SetsNothing() &&
        dialogs_.message(this, tr("Внимание"),
                         tr("В файле %1 не задан ни один параметр: записанный в устройство, он "
                            "вернёт все настройки, включая PIN-код и телефоны, к значениям по "
                            "умолчанию.\nОткрыть его?")
                             .arg(path),
                         k57::Buttons::YesNo, k57::Answer::No) != k57::Answer::Yes) {
        return;
    }
    // What the editor would refuse does not come in from a file either: those
    // values keep their defaults.
    settings.LoadGoodLines(file.verdict);
    ListSettingsProblems(tr("В файле %1 есть недопустимые значения; у этих параметров "
                            "оставлены значения по умолчанию:")
                             .arg(path),
                         file.verdict);
    ShowEditor();
}

void TMainForm::GetSerialButtonClick() {
    if (!device_.get()) {
        return;
    }
    auto serial = std::make_shared<uint32_t>(0);
    k57::ServiceRecord* record = &record_;
    RecordedRequest(
        k57::JournalOperation::Identify,
        [serial, record](DeviceInterface& unit) {
            int result = unit.ReadIdInfo(*serial);
            if (result == k57::kReplyOk) {
                record->LearnSerial(unit.PortName(), *serial);
            }
            return result;
        },
        [this, serial](int result) {
            if (result != k57::kReplyOk) {
                Warn(tr("Загрузка не возможна"), k57::NotConnected() + ".");
                return;
            }
            unit_.serial = *serial;
            // Unsigned, as the port search shows it: serial numbers have no sign.
            Log(tr("Серийный номер устройства %1").arg(*serial));
        });
}

void TMainForm::GetVersionButtonClick() {
    if (!device_.get()) {
        return;
    }
    auto text = std::make_shared<std::string>();
    k57::ServiceRecord* record = &record_;
    RecordedRequest(
        k57::JournalOperation::Identify,
        [text, record](DeviceInterface& unit) {
            int result = unit.ReadVersion(*text);
            if (result == k57::kReplyOk) {
                record->LearnVersion(unit.PortName(), *text);
            }
            return result;
        },
        [this, text](int result) {
            DeviceInterface* device = device_.get();
            if (result != k57::kReplyOk || !device) {
                Warn(tr("Ошибка"), k57::NotConnected());
                return;
            }
            unit_.versionText = *text;
            VersionInfo info;
            device->ParseVersion(info, *text);
            QString type = k57::FromUnit(info.type);
            if (type == "VM_r2") {
                type = "K67 (r2)";
            }
            Log(tr("Тип устройства   : %1").arg(type));
            Log(tr("Версия прошивки : %1").arg(k57::FromUnit(info.version)));
        });
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == ui->Memo1->viewport()) {
            Memo1DblClick();
        } else if (watched == ui->GroupBox1) {
            // Only on the box itself: a click a control inside passed on
            // is not one.
            QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
            if (!ui->GroupBox1->childAt(at)) {
                GroupBox1DblClick();
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

// A monitor holds the port for its own traffic: not while an update runs.
void TMainForm::Memo1DblClick() {
    if (diagnostic_ && !busyWithUnit()) {
        diagnostic_->exec();
    }
}

void TMainForm::GroupBox1DblClick() {
    if (canMonitor_ && !busyWithUnit()) {
        canMonitor_->exec();
    }
}

void TMainForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The log and the progress bar are docked to the bottom edge.
    int width = event->size().width(), height = event->size().height();
    int barHeight = ui->SaveProgress->height();
    int memoHeight = std::clamp(height - barHeight - kLogTop, kLogLeast, kLogHeight);
    ui->SaveProgress->setGeometry(0, height - barHeight, width, barHeight);
    ui->Memo1->setGeometry(0, height - barHeight - memoHeight, width, memoHeight);
}
