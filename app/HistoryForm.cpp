#include "HistoryForm.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "HistoryPane.h"
#include "JournalSharing.h"
#include "JournalWords.h"
#include "ParameterList.h"
#include "ScreenFit.h"
#include "SharingBar.h"
#include "UnitText.h"
#include "WindowTexts.h"

namespace {

// The PC's local time, to the second: the journal keeps UTC, and a
// technician reads a time, not a time zone (k57ctl shows the offset).
QString Time(long long ms) {
    return QDateTime::fromMSecsSinceEpoch(ms).toLocalTime().toString("yyyy-MM-dd HH:mm:ss");
}

// How often the journal is looked at for entries another process or
// connection added: one indexed read, then a reload only when it changed.
constexpr int kWatchMs = 2000;

}  // namespace

THistoryForm::THistoryForm(k57::GuardedChange& guarded, k57::DialogService& dialogs,
                           const ParameterList& catalogue, QWidget* parent,
                           k57::JournalSharing* sharing)
    : QDialog(parent),
      guarded_(guarded),
      dialogs_(dialogs),
      catalogue_(catalogue),
      browser_(std::make_unique<k57::HistoryBrowser>(guarded.record().journal(), catalogue)) {
    if (sharing) {
        sharingBar_ = new TSharingBar(*sharing, dialogs_);
        connect(sharing, &k57::JournalSharing::entriesArrived, this, &THistoryForm::Reload);
    }
    Build();
    guarded_.Tell(this);
    latestId_ = browser_->LatestId();
    SerialEditChange();
    SerialEdit->setFocus();
    auto* watch = new QTimer(this);
    connect(watch, &QTimer::timeout, this, &THistoryForm::WatchJournal);
    watch->start(kWatchMs);
}

THistoryForm::~THistoryForm() = default;

QString THistoryForm::TimeOf(long long ms) {
    return Time(ms);
}

void THistoryForm::Build() {
    setWindowTitle(tr("Журнал обслуживания"));
    resize(860, 540);
    SerialEdit = new QLineEdit;
    SerialEdit->setObjectName("SerialEdit");
    SerialEdit->setPlaceholderText(tr("Серийный номер"));
    UnitList = new QListWidget;
    UnitList->setObjectName("UnitList");
    Timeline = new QTreeWidget;
    Timeline->setObjectName("Timeline");
    Timeline->setHeaderLabels({tr("Время"), tr("Операция"), tr("Результат"), tr("Порт"),
                               tr("Программа"), tr("ПК"), tr("Подробности")});
    Timeline->setRootIsDecorated(false);
    Timeline->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Timeline->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    RevealBox = new QCheckBox(tr("Показать PIN и телефоны"));
    RevealBox->setObjectName("RevealBox");
    SettingsView = new QPlainTextEdit;
    SettingsView->setObjectName("SettingsView");
    SettingsView->setReadOnly(true);
    pane_ = std::make_unique<HistoryPane>(*browser_, *SettingsView, &Time);
    EntryLabel = new QLabel;
    EntryLabel->setObjectName("EntryLabel");
    // A long PC or user name is cut rather than widen the window.
    EntryLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    CompareButton = new QPushButton(tr("Сравнить выбранные"));
    CompareUnitButton = new QPushButton(tr("Сравнить с устройством"));
    SaveButton = new QPushButton(tr("Сохранить в файл…"));
    WriteButton = new QPushButton(tr("Записать в устройство"));
    ExportButton = new QPushButton(tr("Экспорт CSV…"));
    CompareButton->setObjectName("CompareButton");
    CompareUnitButton->setObjectName("CompareUnitButton");
    SaveButton->setObjectName("SaveButton");
    WriteButton->setObjectName("WriteButton");
    ExportButton->setObjectName("ExportButton");

    auto* left = new QVBoxLayout;
    left->addWidget(SerialEdit);
    left->addWidget(UnitList);
    left->addWidget(ExportButton);
    auto* leftPane = new QWidget;
    leftPane->setLayout(left);
    // The entry's buttons in a column beside its settings: a row of them
    // would take the width the unit list needs on a laptop's screen.
    auto* buttons = new QVBoxLayout;
    for (QWidget* w : {CompareButton, CompareUnitButton, SaveButton, WriteButton}) {
        buttons->addWidget(w);
    }
    buttons->addStretch();
    auto* entryRow = new QHBoxLayout;
    entryRow->addWidget(EntryLabel, 1);
    entryRow->addWidget(RevealBox);
    auto* lower = new QHBoxLayout;
    lower->addWidget(SettingsView, 1);
    lower->addLayout(buttons);
    auto* right = new QVBoxLayout;
    right->addWidget(Timeline, 3);
    right->addLayout(entryRow);
    right->addLayout(lower, 2);
    auto* rightPane = new QWidget;
    rightPane->setLayout(right);
    splitter_ = new QSplitter;
    splitter_->addWidget(leftPane);
    splitter_->addWidget(rightPane);
    splitter_->setStretchFactor(1, 3);
    splitter_->setChildrenCollapsible(false);
    auto* layout = new QVBoxLayout(this);
    if (sharingBar_) {
        layout->addWidget(sharingBar_);
    }
    layout->addWidget(splitter_);
    k57::FitToScreen(*this);  // a laptop at 150 % has less room than designed

    connect(SerialEdit, &QLineEdit::textChanged, this, &THistoryForm::SerialEditChange);
    connect(UnitList, &QListWidget::currentRowChanged, this, &THistoryForm::UnitListChange);
    connect(Timeline, &QTreeWidget::itemSelectionChanged, this, &THistoryForm::TimelineChange);
    connect(RevealBox, &QCheckBox::toggled, this, &THistoryForm::RevealBoxClick);
    connect(CompareButton, &QPushButton::clicked, this, &THistoryForm::CompareButtonClick);
    connect(CompareUnitButton, &QPushButton::clicked, this, &THistoryForm::CompareUnitButtonClick);
    connect(SaveButton, &QPushButton::clicked, this, &THistoryForm::SaveButtonClick);
    connect(WriteButton, &QPushButton::clicked, this, &THistoryForm::WriteButtonClick);
    connect(ExportButton, &QPushButton::clicked, this, &THistoryForm::ExportButtonClick);
}

QString THistoryForm::shownText() const {
    return SettingsView->toPlainText();
}

QString THistoryForm::entryText() const {
    return EntryLabel->text();
}

void THistoryForm::SerialEditChange() {
    UnitList->clear();
    for (const k57::UnitSummary& unit : browser_->Units(SerialEdit->text().toStdString())) {
        auto* item = new QListWidgetItem(
            QString::number(unit.serial) + "  " + k57::FromUnit(unit.unitType) + " " +
            k57::FromUnit(unit.firmware) + "  (" + QString::number(unit.operations) + ")");
        item->setData(Qt::UserRole, qint64(unit.serial));
        UnitList->addItem(item);
    }
    TellReadProblem();
    if (UnitList->count() > 0) {
        UnitList->setCurrentRow(0);
    } else {
        UnitListChange();
    }
}

void THistoryForm::TellReadProblem() {
    if (!browser_->readFailed()) {
        return;
    }
    std::string problem = browser_->TakeProblem();
    if (!problem.empty()) {
        dialogs_.message(this, tr("Внимание"),
                         tr("Журнал обслуживания прочитать не удалось.\n\n%1")
                             .arg(QString::fromStdString(problem)),
                         k57::Buttons::Ok);
    }
}

void THistoryForm::UnitListChange() {
    pane_->Clear();
    FillTimeline();
}

void THistoryForm::FillTimeline() {
    Timeline->clear();
    timeline_.clear();
    QListWidgetItem* unit = UnitList->currentItem();
    if (!unit) {
        return;
    }
    timeline_ = browser_->Timeline(uint32_t(unit->data(Qt::UserRole).toLongLong()));
    TellReadProblem();
    for (size_t i = 0; i < timeline_.size(); ++i) {
        const k57::JournalEntry& e = timeline_[i];
        // Another PC's entry names it; this PC's go without.
        QString pc = e.pulled ? QString::fromStdString(e.pc) : QString();
        auto* item =
            new QTreeWidgetItem({Time(e.timeMs), k57::OperationWords(e.operation),
                                 k57::ResultWords(e.result), QString::fromStdString(e.port),
                                 k57::FrontEndWords(e.frontEnd), pc, k57::DetailWords(e.detail)});
        item->setData(0, Qt::UserRole, qint64(i));
        Timeline->addTopLevelItem(item);
    }
}

std::vector<size_t> THistoryForm::SelectedRows() const {
    std::vector<size_t> rows;
    for (int i = 0; i < Timeline->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = Timeline->topLevelItem(i);
        if (item->isSelected()) {
            rows.push_back(size_t(item->data(0, Qt::UserRole).toLongLong()));
        }
    }
    return rows;
}

std::vector<k57::JournalEntry> THistoryForm::Selected() const {
    std::vector<k57::JournalEntry> selected;
    for (size_t row : SelectedRows()) {
        selected.push_back(timeline_[row]);
    }
    return selected;
}

void THistoryForm::TimelineChange() {
    std::vector<size_t> rows = SelectedRows();
    if (rows.empty()) {
        pane_->Clear();
        EntryLabel->clear();
        return;
    }
    const k57::JournalEntry& entry = timeline_[rows.front()];
    pane_->ShowEntry(timeline_, rows.front());
    EntryLabel->setText(
        tr("ПК: %1, пользователь: %2")
            .arg(QString::fromStdString(entry.pc), QString::fromStdString(entry.user)));
}

void THistoryForm::WatchJournal() {
    long long latest = browser_->LatestId();
    if (latest >= 0 && latest != latestId_) {
        Reload();
    }
}

// What the pane shows stays when the same entries are chosen again: a
// comparison too.
void THistoryForm::Reload() {
    latestId_ = browser_->LatestId();
    QListWidgetItem* unit = UnitList->currentItem();
    std::optional<qint64> serial;
    if (unit) {
        serial = unit->data(Qt::UserRole).toLongLong();
    }
    std::vector<std::string> chosen;
    for (const k57::JournalEntry& entry : Selected()) {
        chosen.push_back(entry.uuid);
    }
    int scrolled = Timeline->verticalScrollBar()->value();
    {
        const QSignalBlocker quietUnits(UnitList);
        const QSignalBlocker quietTimeline(Timeline);
        SerialEditChange();
        for (int row = 0; serial && row < UnitList->count(); ++row) {
            if (UnitList->item(row)->data(Qt::UserRole).toLongLong() == *serial) {
                UnitList->setCurrentRow(row);
            }
        }
        FillTimeline();
        for (int i = 0; i < Timeline->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = Timeline->topLevelItem(i);
            const std::string& uuid =
                timeline_[size_t(item->data(0, Qt::UserRole).toLongLong())].uuid;
            item->setSelected(std::find(chosen.begin(), chosen.end(), uuid) != chosen.end());
        }
    }
    Timeline->verticalScrollBar()->setValue(scrolled);
    std::vector<std::string> now;
    for (const k57::JournalEntry& entry : Selected()) {
        now.push_back(entry.uuid);
    }
    if (now != chosen || chosen.empty()) {
        TimelineChange();
    }
}

void THistoryForm::RevealBoxClick() {
    browser_->SetReveal(RevealBox->isChecked());
    pane_->Retell();
}

// The newer of two selected entries against the older, as the timeline
// lists them newest first.
void THistoryForm::CompareButtonClick() {
    std::vector<k57::JournalEntry> selected = Selected();
    if (selected.size() != 2) {
        dialogs_.message(this, tr("Внимание"), tr("Выберите две записи для сравнения."),
                         k57::Buttons::Ok);
        return;
    }
    std::optional<std::string> newer = k57::SnapshotOf(selected[0]);
    pane_->ShowComparison(selected[1], newer.value_or(std::string()));
}

void THistoryForm::CompareUnitButtonClick() {
    std::vector<k57::JournalEntry> selected = Selected();
    if (selected.empty() || busy_) {
        return;
    }
    busy_ = true;
    auto text = std::make_shared<std::string>();
    guarded_.Recorded(
        this, k57::JournalOperation::ReadSettings,
        [text](DeviceInterface& unit) { return unit.ReadSettings(*text); },
        [this, text, entry = selected.front()](int result) {
            busy_ = false;
            if (result != k57::kReplyOk) {
                dialogs_.message(this, tr("Ошибка"), k57::NotConnected(), k57::Buttons::Ok);
                return;
            }
            pane_->ShowComparison(entry, *text);
        },
        text);
}

void THistoryForm::SaveButtonClick() {
    std::vector<k57::JournalEntry> selected = Selected();
    if (selected.empty()) {
        return;
    }
    QString path = dialogs_.saveFileName(this, tr("текстовые файлы настроек | *.txt"), "txt");
    std::string error;
    if (!path.isEmpty() && !browser_->SaveSettings(selected.front(), path.toStdString(), error)) {
        dialogs_.error(
            this, tr("Не удалось записать файл %1: %2").arg(path, QString::fromStdString(error)));
    }
}

void THistoryForm::ExportButtonClick() {
    QString path = dialogs_.saveFileName(this, tr("файлы CSV | *.csv"), "csv");
    std::string error;
    if (!path.isEmpty() && !browser_->ExportCsv(path.toStdString(), error)) {
        dialogs_.error(
            this, tr("Не удалось записать файл %1: %2").arg(path, QString::fromStdString(error)));
    }
}

void THistoryForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!listFitted_) {
        listFitted_ = true;
        FitUnitList();
    }
}

// As wide as its longest serial and type (and the scroll bar beside them),
// never narrower than its pane's least: the window grows for a long one as
// far as the screen lets it, and the divider moves after.
void THistoryForm::FitUnitList() {
    // Room for a usual unit's line even while the list is empty or holds
    // shorter ones, so a unit recorded later shows whole too.
    int widest =
        UnitList->fontMetrics().horizontalAdvance(QStringLiteral("00000000  K57BT 000.000  (00)"));
    for (int row = 0; row < UnitList->count(); ++row) {
        widest = std::max(widest,
                          UnitList->fontMetrics().horizontalAdvance(UnitList->item(row)->text()));
    }
    QWidget* left = splitter_->widget(0);
    int wanted = widest + left->width() - UnitList->viewport()->width() +
                 UnitList->verticalScrollBar()->sizeHint().width() + 12;
    auto room = [this] {
        return splitter_->width() - splitter_->handleWidth() -
               splitter_->widget(1)->minimumSizeHint().width();
    };
    if (wanted > room()) {
        resize(width() + wanted - room(), height());
        k57::FitToScreen(*this);
        layout()->activate();
    }
    int total = splitter_->width() - splitter_->handleWidth();
    // No wider either: the splitter's first share is wider than a few short
    // serials need, and the timeline's columns want that room.
    int width = std::max(left->minimumSizeHint().width(), std::min(wanted, room()));
    splitter_->setSizes({width, total - width});
}
