#include "CanHuntForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QShortcut>
#include <QSpinBox>

#include "CanHunt.h"
#include "CanMarksPanel.h"
#include "CanMonitorSettings.h"
#include "CanPlayback.h"
#include "MarksQuestion.h"
#include "PlotWidget.h"

TCanHuntForm::TCanHuntForm(k57::CanSession& can, k57::DialogService*& dialogs, Monitor monitor,
                           QWidget* parent)
    : QDialog(parent), can_(can), dialogs_(dialogs), monitor_(std::move(monitor)) {
    setObjectName("CanHuntForm");
    setWindowTitle(tr("Поиск сигнала"));
    auto* grid = new QGridLayout(this);
    FilterEdit = new QLineEdit(this);
    FilterEdit->setObjectName("FilterEdit");
    FilterEdit->setPlaceholderText("+1A0 -7DF +400/700");
    FilterLabel = new QLabel(this);
    grid->addWidget(new QLabel(tr("Фильтр ID:"), this), 0, 0);
    grid->addWidget(FilterEdit, 0, 1, 1, 3);
    grid->addWidget(FilterLabel, 1, 1, 1, 3);

    auto* unnotchAll = new QPushButton(tr("Снять отметки битов"), this);
    unnotchAll->setObjectName("UnnotchAllButton");
    RowEdit = new QLineEdit(this);
    RowEdit->setObjectName("RowEdit");
    RowEdit->setPlaceholderText("ID");
    RowEdit->setMaximumWidth(90);
    auto* unnotchRow = new QPushButton(tr("строки"), this);
    unnotchRow->setObjectName("UnnotchRowButton");
    grid->addWidget(unnotchAll, 2, 0, 1, 2);
    grid->addWidget(RowEdit, 2, 2);
    grid->addWidget(unnotchRow, 2, 3);

    MarksPanel = new TCanMarksPanel(can_, this);
    grid->addWidget(MarksPanel, 3, 0, 1, 4);

    RankingList = new QListWidget(this);
    RankingList->setObjectName("RankingList");
    RankingList->setFont(QFont("Courier", 9));
    grid->addWidget(RankingList, 4, 0, 1, 4);
    // The search by value: shown once a mark says how the value moved.
    SearchList = new QListWidget(this);
    SearchList->setObjectName("SearchList");
    SearchList->setFont(QFont("Courier", 9));
    SearchList->hide();
    Plot = new k57::PlotWidget(this);
    Plot->setObjectName("CandidatePlot");
    Plot->setMinimumHeight(120);
    Plot->SetData(&plot_);
    Plot->hide();
    grid->addWidget(SearchList, 7, 0, 1, 4);
    grid->addWidget(Plot, 8, 0, 1, 4);

    auto* open = new QPushButton(tr("Открыть запись…"), this);
    open->setObjectName("OpenButton");
    SpeedBox = new QComboBox(this);
    SpeedBox->setObjectName("SpeedBox");
    SpeedBox->addItems({"1x", "10x", tr("сразу")});
    grid->addWidget(open, 5, 0);
    grid->addWidget(SpeedBox, 5, 1);
    grid->addWidget(BuildTableChoices(), 6, 0, 1, 4);
    resize(560, 560);

    connect(FilterEdit, &QLineEdit::returnPressed, this, &TCanHuntForm::FilterEditReturn);
    connect(unnotchAll, &QPushButton::clicked, this, &TCanHuntForm::UnnotchAllClick);
    connect(unnotchRow, &QPushButton::clicked, this, &TCanHuntForm::UnnotchRowClick);
    connect(MarksPanel, &TCanMarksPanel::changed, this, [this] {
        refreshesLeft_ = 3;
        Refresh();
    });
    connect(SearchList, &QListWidget::currentRowChanged, this, &TCanHuntForm::PlotCandidate);
    connect(open, &QPushButton::clicked, this, &TCanHuntForm::OpenButtonClick);
    connect(RankingList, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        size_t row = size_t(RankingList->row(item));
        if (row < ranking_.size() && monitor_.scrollTo) {
            monitor_.scrollTo(ranking_[row].Key());
        }
    });
    auto* space = new QShortcut(Qt::Key_Space, this);
    connect(space, &QShortcut::activated, this, &TCanHuntForm::MarkButtonClick);
    refresh_.setInterval(1000);
    connect(&refresh_, &QTimer::timeout, this, &TCanHuntForm::Refresh);
    refresh_.start();

    // The filter of the last run.
    FilterEdit->setText(k57::CanMonitorSettings::Filter());
    FilterEditReturn();
}

// The table's choices, as the last run left them.
QWidget* TCanHuntForm::BuildTableChoices() {
    using k57::TableLook;
    const k57::CanMonitorSettings::TableChoices choices = k57::CanMonitorSettings::Table();
    auto* box = new QGroupBox(tr("Вид таблицы"), this);
    auto* grid = new QGridLayout(box);
    HeatBox = new QCheckBox(tr("тепло битов: как часто меняются"), box);
    HeatBox->setObjectName("HeatBox");
    HeatBox->setChecked(choices.heat);
    RateBox = new QCheckBox(tr("частота и период строк"), box);
    RateBox->setObjectName("RateBox");
    RateBox->setChecked(choices.rate);
    HoldBox = new QCheckBox(tr("держать изменения"), box);
    HoldBox->setObjectName("HoldBox");
    HoldBox->setChecked(choices.hold);
    HoldEdit = new QDoubleSpinBox(box);
    HoldEdit->setObjectName("HoldEdit");
    HoldEdit->setRange(0.1, 60);
    HoldEdit->setDecimals(1);
    HoldEdit->setSingleStep(0.5);
    HoldEdit->setSuffix(tr(" с"));
    HoldEdit->setValue(choices.holdMs / 1000.0);
    // A value counts once typed, not at each of its digits.
    HoldEdit->setKeyboardTracking(false);
    SilenceBox = new QComboBox(box);
    SilenceBox->setObjectName("SilenceBox");
    // In the order of TableLook::Silence.
    SilenceBox->addItems({tr("молчащие ID как все"), tr("молчащие ID серые"),
                          tr("молчащие ID скрыть")});
    SilenceBox->setCurrentIndex(int(choices.silence));
    QuietEdit = new QSpinBox(box);
    QuietEdit->setObjectName("QuietEdit");
    QuietEdit->setRange(1, 3600);
    QuietEdit->setPrefix(tr("после "));
    QuietEdit->setSuffix(tr(" с"));
    QuietEdit->setValue(choices.quietS);
    QuietEdit->setKeyboardTracking(false);
    grid->addWidget(HeatBox, 0, 0, 1, 2);
    grid->addWidget(RateBox, 0, 2, 1, 2);
    grid->addWidget(HoldBox, 1, 0);
    grid->addWidget(HoldEdit, 1, 1);
    grid->addWidget(SilenceBox, 1, 2);
    grid->addWidget(QuietEdit, 1, 3);

    for (QCheckBox* check : {HeatBox, RateBox, HoldBox}) {
        connect(check, &QCheckBox::toggled, this, &TCanHuntForm::TableChoiceChanged);
    }
    connect(HoldEdit, &QDoubleSpinBox::valueChanged, this, &TCanHuntForm::TableChoiceChanged);
    connect(SilenceBox, &QComboBox::currentIndexChanged, this, &TCanHuntForm::TableChoiceChanged);
    connect(QuietEdit, &QSpinBox::valueChanged, this, &TCanHuntForm::TableChoiceChanged);
    return box;
}

void TCanHuntForm::TableChoiceChanged() {
    k57::CanMonitorSettings::TableChoices choices;
    choices.heat = HeatBox->isChecked();
    choices.rate = RateBox->isChecked();
    choices.hold = HoldBox->isChecked();
    choices.holdMs = int(HoldEdit->value() * 1000 + 0.5);
    choices.silence = k57::TableLook::Silence(SilenceBox->currentIndex());
    choices.quietS = QuietEdit->value();
    k57::CanMonitorSettings::SetTable(choices);
    if (monitor_.look) {
        monitor_.look(choices.Look());
    }
}

void TCanHuntForm::FilterEditReturn() {
    k57::CanFilter filter;
    std::string error;
    if (!k57::CanFilter::Parse(FilterEdit->text().toStdString(), filter, error)) {
        FilterLabel->setText(QString::fromStdString(error));
        return;
    }
    can_.SetFilter(filter);
    FilterLabel->setText(filter.empty() ? tr("все ID") : QString::fromStdString(filter.Text()));
    k57::CanMonitorSettings::SetFilter(FilterEdit->text());
}

void TCanHuntForm::MarkButtonClick() {
    MarksPanel->Mark();  // the panel tells when it changed the marks
}

void TCanHuntForm::UnnotchAllClick() {
    can_.capture().Unnotch();
}

void TCanHuntForm::UnnotchRowClick() {
    k57::CanFilter one;
    std::string error;
    // The row's identifier read as a filter word: the same digits rule.
    if (!k57::CanFilter::Parse("+" + RowEdit->text().trimmed().toStdString(), one, error) ||
        one.rules().size() != 1) {
        FilterLabel->setText(QString::fromStdString(error));
        return;
    }
    const k57::CanFilter::Rule& rule = one.rules()[0];
    can_.capture().Unnotch((uint64_t(rule.extended) << 32) | rule.id);
}

void TCanHuntForm::OpenButtonClick() {
    if (!dialogs_) {
        return;
    }
    QString path = dialogs_->openFileName(
        this, tr("записи CAN (*.log *.asc *.csv *.trc *.blf);;candump (*.log);;Vector ASC (*.asc);;"
               "CSV (*.csv);;PCAN (*.trc);;Vector BLF (*.blf)"),
        "log");
    if (path.isEmpty() || !MarksQuestion::MayDrop(can_, dialogs_, this)) {
        return;
    }
    const double speeds[] = {1, 10, k57::CanPlayback::kAtOnce};
    std::string error;
    if (!can_.Play(path.toStdString(), speeds[SpeedBox->currentIndex()], error)) {
        dialogs_->error(this,
                        tr("Не удалось открыть файл %1: %2").arg(path, QString::fromStdString(error)));
        return;
    }
    const k57::CanRecording& recording = can_.recording();
    if (recording.malformed > 0) {
        const k57::CanRecording::Problem& first = recording.problems.front();
        QString message = QString::fromStdString(first.message);
        // A binary file has no lines: its damage says at which byte, and
        // the frames before it are kept.
        dialogs_->error(this, first.line == 0
                                  ? tr("Файл повреждён, прочитано до повреждения: %1").arg(message)
                                  : tr("Строк с ошибками: %1; первая: строка %2, %3")
                                        .arg(recording.malformed)
                                        .arg(first.line)
                                        .arg(message));
    }
    if (monitor_.play) {
        monitor_.play();
    }
    refreshesLeft_ = 30;  // a recording at its own pace brings its changes later
    Refresh();
}

// The ranking over what has come so far.
void TCanHuntForm::Refresh() {
    MarksPanel->Refresh();
    if (can_.marks().size() < 2 && !ranking_.empty()) {  // a new capture, or marks deleted
        ranking_.clear();
        RankingList->clear();
    }
    if (!isVisible() || can_.marks().size() < 1 || refreshesLeft_ <= 0) {
        return;
    }
    --refreshesLeft_;
    Search();
    if (can_.marks().size() < 2) {
        return;
    }
    ranking_ = can_.Rank();
    RankingList->clear();
    for (const k57::SignalHunt::Candidate& c : ranking_) {
        RankingList->addItem(QString::fromStdString(c.Text(can_.marks().size())));
    }
}

void TCanHuntForm::Search() {
    const bool moves = k57::SignalSearch::MarksWithMove(can_.marks().marks()) > 0;
    SearchList->setVisible(moves);
    Plot->setVisible(moves);
    if (!moves) {
        return;
    }
    searched_.clear();
    can_.frames().ForEach([&](const k57::LoggedFrame& f) {
        if (can_.filter().Passes(f.id, f.extended)) {
            searched_.push_back(f);
        }
    });
    found_ = k57::CanHunt::Search(searched_, can_.marks());
    const QSignalBlocker quiet(SearchList);  // the plot follows the choice, not the refill
    SearchList->clear();
    for (const k57::SignalSearch::Candidate& c : found_) {
        SearchList->addItem(QString::fromStdString(c.Text()));
    }
    SearchList->setCurrentRow(found_.empty() ? -1 : 0);
    PlotCandidate(SearchList->currentRow());
}

void TCanHuntForm::PlotCandidate(int row) {
    if (row < 0 || size_t(row) >= found_.size()) {
        plot_.Clear();
        Plot->Refresh();
        return;
    }
    k57::CanHunt::PlotCandidate(searched_, can_.marks(), found_[size_t(row)], plot_);
    Plot->ShowAll();
    Plot->Refresh();
    if (monitor_.scrollTo) {
        monitor_.scrollTo(found_[size_t(row)].Key());
    }
}
