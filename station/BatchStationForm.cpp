#include "BatchStationForm.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QVBoxLayout>
#include <initializer_list>

#include "EmbeddedImages.h"
#include "FormFont.h"
#include "PortMapping.h"
#include "ScreenFit.h"
#include "SettingsProblemLines.h"
#include "StationRowView.h"
#include "StoredPort.h"
#include "ValuesMessages.h"

namespace {

// Designed for a workshop's screen; a laptop's takes the loss from the rows.
constexpr QSize kDesigned{820, 620};
// How often the window asks whether the station has ended.
constexpr int kWatchMs = 200;

QString FileName(const QString& path) {
    return QFileInfo(path).fileName();
}

}  // namespace

TBatchStationForm::TBatchStationForm(k57::DialogService& dialogs, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs) {
    setWindowFlag(Qt::Window);
    setObjectName("BatchStationForm");
    setWindowTitle(tr("Программирование партии"));
    setFont(k57::FormFont());
    catalogue_.LoadCatalogue(k57::images::Catalogue());

    problems_ = new QPlainTextEdit(this);
    problems_->setObjectName("ProblemList");
    problems_->setReadOnly(true);
    problems_->setMaximumHeight(110);
    problems_->setPlaceholderText(tr("Здесь появятся ошибки шаблона и файла значений."));
    counts_ = new QLabel(this);
    counts_->setObjectName("CountsLabel");
    QFont large = k57::FormFont();
    large.setPointSize(14);
    large.setBold(true);
    counts_->setFont(large);
    auto* rows = new QWidget;
    rowsLayout_ = new QVBoxLayout(rows);
    rowsLayout_->addStretch(1);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName("StationRows");
    scroll->setWidgetResizable(true);
    scroll->setWidget(rows);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildChoices());
    layout->addWidget(problems_);
    layout->addWidget(counts_);
    layout->addWidget(scroll, 1);

    connect(&board_, &k57::StationBoard::changed, this, &TBatchStationForm::Redraw);
    connect(&watch_, &QTimer::timeout, this, &TBatchStationForm::Watch);
    watch_.setInterval(kWatchMs);
    board_.Reset({}, 0);
    resize(kDesigned);
    k57::FitToScreen(*this);
    UpdateButtons();
}

// The station's end waits for the unit being written, if any.
TBatchStationForm::~TBatchStationForm() = default;

QWidget* TBatchStationForm::BuildChoices() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    template_ = new QLineEdit(box);
    template_->setObjectName("TemplateEdit");
    values_ = new QLineEdit(box);
    values_->setObjectName("ValuesEdit");
    ports_ = new QLineEdit(QString::fromStdString(k57::StoredPort::Read()), box);
    ports_->setObjectName("PortsEdit");
    ports_->setPlaceholderText(QStringLiteral("COM5, COM6"));
    chooseTemplate_ = new QPushButton(tr("Выбрать…"), box);
    chooseValues_ = new QPushButton(tr("Выбрать…"), box);
    // A push button: its menu's arrow gets room of its own, where a tool
    // button's drew over the text.
    auto* offer = offer_ = new QPushButton(tr("Порты…"), box);
    offer->setObjectName("PortsOffer");
    OfferPorts(*offer);
    grid->addWidget(new QLabel(tr("Шаблон настроек:"), box), 0, 0);
    grid->addWidget(template_, 0, 1);
    grid->addWidget(chooseTemplate_, 0, 2);
    grid->addWidget(new QLabel(tr("Файл значений (CSV):"), box), 1, 0);
    grid->addWidget(values_, 1, 1);
    grid->addWidget(chooseValues_, 1, 2);
    grid->addWidget(new QLabel(tr("Порты:"), box), 2, 0);
    grid->addWidget(ports_, 2, 1);
    grid->addWidget(offer, 2, 2);
    updateFirmware_ = new QCheckBox(tr("Обновлять прошивку, если она старее"), box);
    updateFirmware_->setObjectName("UpdateFirmwareBox");
    templateOnly_ = new QCheckBox(tr("Записывать шаблон в блоки без строки"), box);
    templateOnly_->setObjectName("TemplateOnlyBox");
    grid->addWidget(updateFirmware_, 3, 1);
    grid->addWidget(templateOnly_, 4, 1);
    check_ = new QPushButton(tr("Проверить"), box);
    check_->setObjectName("CheckButton");
    start_ = new QPushButton(tr("Начать"), box);
    start_->setObjectName("StartButton");
    stop_ = new QPushButton(tr("Остановить"), box);
    stop_->setObjectName("StopButton");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(check_);
    buttons->addStretch(1);
    buttons->addWidget(start_);
    buttons->addWidget(stop_);
    grid->addLayout(buttons, 5, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    connect(chooseTemplate_, &QPushButton::clicked, this, &TBatchStationForm::ChooseTemplate);
    connect(chooseValues_, &QPushButton::clicked, this, &TBatchStationForm::ChooseValues);
    connect(check_, &QPushButton::clicked, this, &TBatchStationForm::Check);
    connect(start_, &QPushButton::clicked, this, &TBatchStationForm::Start);
    connect(stop_, &QPushButton::clicked, this, &TBatchStationForm::Stop);
    return box;
}

// The ports whose names lead to a device, each to be ticked in or out of
// the list the user may also type.
void TBatchStationForm::OfferPorts(QPushButton& button) {
    auto* menu = new QMenu(&button);
    button.setMenu(menu);
    connect(menu, &QMenu::aboutToShow, this, [this, menu] {
        menu->clear();
        const QStringList chosen = Ports();
        for (int n = 2; n <= 254; ++n) {
            const QString name = "COM" + QString::number(n);
            const std::string path = k57::ports::Resolve(name.toStdString());
            if (!chosen.contains(name) &&
                (path.empty() || !QFileInfo::exists(QString::fromStdString(path)))) {
                continue;
            }
            QAction* port = menu->addAction(name);
            port->setCheckable(true);
            port->setChecked(chosen.contains(name));
            connect(port, &QAction::toggled, this, [this, name](bool on) {
                QStringList ports = Ports();
                ports.removeAll(name);
                if (on) {
                    ports << name;
                }
                ports_->setText(ports.join(", "));
            });
        }
    });
}

QStringList TBatchStationForm::Ports() const {
    QStringList ports;
    for (const QString& name :
         ports_->text().split(QRegularExpression("[,;\\s]+"), Qt::SkipEmptyParts)) {
        if (!ports.contains(name)) {
            ports << name;
        }
    }
    return ports;
}

void TBatchStationForm::ChooseTemplate() {
    QString path = dialogs_.openFileName(this, tr("текстовые файлы настроек | *.txt"), "txt");
    if (!path.isEmpty()) {
        template_->setText(path);
    }
}

void TBatchStationForm::ChooseValues() {
    QString path = dialogs_.openFileName(this, tr("файлы значений CSV | *.csv"), "csv");
    if (!path.isEmpty()) {
        values_->setText(path);
    }
}

std::unique_ptr<k57::BatchPlan> TBatchStationForm::ReadPlan() {
    if (template_->text().isEmpty() || values_->text().isEmpty()) {
        dialogs_.error(this, tr("Выберите шаблон настроек и файл значений."));
        return nullptr;
    }
    return std::make_unique<k57::BatchPlan>(k57::BatchPlan::Read(
        template_->text().toStdString(), values_->text().toStdString(), catalogue_));
}

// "template.txt: строка 3, MicLevel: …", "values.csv: строка 4, столбец 2
// (UserNumber1): …".
QStringList TBatchStationForm::Problems(const k57::BatchPlan& plan) const {
    QStringList lines;
    const QString templateFile = FileName(template_->text()) + ": ";
    const k57::SettingsFileVerdict& read = plan.templateFile();
    if (!read.readable()) {
        lines << templateFile + k57::FileProblem(read.problem, read.detail);
    }
    for (const k57::SettingsLine& line : read.verdict.Problems()) {
        lines << templateFile + k57::ProblemLine(line);
    }
    const QString valuesFile = FileName(values_->text()) + ": ";
    for (const k57::ValuesProblem& problem : plan.valueProblems()) {
        const QString place = QString::fromStdString(k57::ValuesProblemPlace(problem));
        lines << valuesFile + (place.isEmpty() ? QString() : place + ": ") +
                     QString::fromStdString(k57::ValuesWindowMessage(problem));
    }
    return lines;
}

bool TBatchStationForm::Check() {
    std::unique_ptr<k57::BatchPlan> plan = ReadPlan();
    if (!plan) {
        return false;
    }
    const QStringList problems = Problems(*plan);
    if (problems.isEmpty()) {
        problems_->setPlainText(tr("Ошибок нет: блоков в файле значений: %1, своих параметров: %2.")
                                    .arg(plan->values().units.size())
                                    .arg(plan->OwnKeyCount()));
        return true;
    }
    problems_->setPlainText(
        tr("Ошибок: %1. Ни один блок не будет записан, пока они есть.").arg(problems.size()) +
        "\n" + problems.join('\n'));
    return false;
}

void TBatchStationForm::Start() {
    if (station_ || !Check()) {
        return;
    }
    const QStringList ports = Ports();
    if (ports.isEmpty()) {
        dialogs_.error(this, tr("Укажите порты, к которым подключаются блоки."));
        return;
    }
    station_.reset();
    plan_ = ReadPlan();
    if (!plan_ || !plan_->ok()) {
        return;
    }
    k57::BatchOptions options;
    for (const QString& port : ports) {
        options.ports.push_back(port.toStdString());
    }
    options.updateFirmware = updateFirmware_->isChecked();
    options.templateOnly = templateOnly_->isChecked();
    options.frontEnd = k57::JournalFrontEnd::Window;
    templateName_ = FileName(template_->text()).toStdString();
    valuesName_ = FileName(values_->text()).toStdString();
    station_ = std::make_unique<k57::BatchStation>(*plan_, catalogue_, options, journalPath_);
    if (makeDevice_) {
        station_->SetDeviceMaker(makeDevice_);
    }
    station_->SetPollInterval(poll_);
    k57::StationBoard* board = &board_;
    station_->SetListener([board](const k57::BatchEvent& event) { board->Post(event); });
    std::string error;
    if (!station_->Start(error)) {
        station_.reset();
        dialogs_.error(this, tr("Не удалось начать: %1").arg(QString::fromStdString(error)));
        return;
    }
    batchMark_ = station_->mark();
    // After the start, which counts the rows earlier runs used; the ports'
    // events reach the board only once this returns to the event loop.
    board_.Reset(ports, station_->ledger().left());
    BuildRows();
    stopping_ = false;
    watch_.start();
    UpdateButtons();
}

void TBatchStationForm::Stop() {
    if (station_ && !stopping_) {
        stopping_ = true;
        station_->Stop();
        UpdateButtons();
    }
}

// Once every port has ended: the station let go, the journal's problem told.
void TBatchStationForm::Watch() {
    if (!station_ || station_->running()) {
        return;
    }
    watch_.stop();
    station_->Wait();
    const std::string problem = station_->TakeJournalProblem();
    station_.reset();
    stopping_ = false;
    UpdateButtons();
    if (!problem.empty()) {
        dialogs_.error(this, QString::fromStdString(problem));
    }
    if (closeWhenEnded_) {
        closeWhenEnded_ = false;
        close();
    }
}

// Closing while running stops the station; the window goes once the unit
// being written is done, and the GUI thread never waits for it.
void TBatchStationForm::closeEvent(QCloseEvent* event) {
    if (station_) {
        closeWhenEnded_ = true;
        Stop();
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void TBatchStationForm::BuildRows() {
    while (rowViews_.size() < board_.rows().size()) {
        auto* view = new TStationRowView;
        const int index = int(rowViews_.size());
        connect(view, &TStationRowView::certificateAsked, this,
                [this, index] { SaveCertificate(index); });
        rowsLayout_->insertWidget(rowsLayout_->count() - 1, view);
        rowViews_.push_back(view);
    }
    while (rowViews_.size() > board_.rows().size()) {
        delete rowViews_.back();
        rowViews_.pop_back();
    }
    for (size_t i = 0; i < rowViews_.size(); ++i) {
        rowViews_[i]->Show(board_.rows()[i]);
    }
}

void TBatchStationForm::Redraw(const QList<int>& rows, bool counts) {
    if (rowViews_.size() != board_.rows().size()) {
        BuildRows();
    } else {
        for (int row : rows) {
            rowViews_[size_t(row)]->Show(board_.rows()[size_t(row)]);
        }
    }
    if (counts) {
        counts_->setText(board_.CountsText());
    }
}

void TBatchStationForm::UpdateButtons() {
    const bool running = station_ != nullptr;
    for (QWidget* choice :
         std::initializer_list<QWidget*>{template_, chooseTemplate_, values_, chooseValues_, ports_,
                                         offer_, updateFirmware_, templateOnly_, check_, start_}) {
        choice->setEnabled(!running);
    }
    // While running the rows take the problems' room: there are none.
    problems_->setVisible(!running);
    stop_->setEnabled(running && !stopping_);
    stop_->setText(stopping_ ? tr("Останавливается…") : tr("Остановить"));
}
