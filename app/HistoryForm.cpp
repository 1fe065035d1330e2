#include "HistoryForm.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "JournalSharing.h"
#include "JournalWords.h"
#include "ParameterList.h"
#include "SharingBar.h"
#include "UnitText.h"
#include "WindowTexts.h"

namespace {

// The PC's local time: the journal keeps UTC.
QString Time(long long ms) {
    return k57::LocalTimeText(ms);
}

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
    SerialEditChange();
    SerialEdit->setFocus();
}

THistoryForm::~THistoryForm() = default;

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
    EntryLabel = new QLabel;
    EntryLabel->setObjectName("EntryLabel");
    CompareButton = new QPushButton(tr("Сравнить выбранные"));
    CompareUnitButton = new QPushButton(tr("Сравнить с устройством"));
    SaveButton = new QPushButton(tr("Сохранить в файл…"));
    WriteButton = new QPushButton(tr("Записать в устройство"));
    ExportButton = new QPushButton(tr("Экспорт CSV…"));

    auto* left = new QVBoxLayout;
    left->addWidget(SerialEdit);
    left->addWidget(UnitList);
    left->addWidget(ExportButton);
    auto* leftPane = new QWidget;
    leftPane->setLayout(left);
    auto* buttons = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(RevealBox), static_cast<QWidget*>(CompareButton),
                       static_cast<QWidget*>(CompareUnitButton), static_cast<QWidget*>(SaveButton),
                       static_cast<QWidget*>(WriteButton)}) {
        buttons->addWidget(w);
    }
    auto* right = new QVBoxLayout;
    right->addWidget(Timeline, 3);
    right->addLayout(buttons);
    right->addWidget(EntryLabel);
    right->addWidget(SettingsView, 2);
    auto* rightPane = new QWidget;
    rightPane->setLayout(right);
    auto* splitter = new QSplitter;
    splitter->addWidget(leftPane);
    splitter->addWidget(rightPane);
    splitter->setStretchFactor(1, 3);
    auto* layout = new QVBoxLayout(this);
    if (sharingBar_) {
        layout->addWidget(sharingBar_);
    }
    layout->addWidget(splitter);

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
    Timeline->clear();
    timeline_.clear();
    SettingsView->clear();
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
        auto* item = new QTreeWidgetItem(
            {Time(e.timeMs), k57::OperationWords(e.operation), k57::ResultWords(e.result),
             QString::fromStdString(e.port), k57::FrontEndWords(e.frontEnd), pc,
             k57::DetailWords(e.detail)});
        item->setData(0, Qt::UserRole, qint64(i));
        Timeline->addTopLevelItem(item);
    }
}

std::vector<k57::JournalEntry> THistoryForm::Selected() const {
    std::vector<k57::JournalEntry> selected;
    for (int i = 0; i < Timeline->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = Timeline->topLevelItem(i);
        if (item->isSelected()) {
            selected.push_back(timeline_[size_t(item->data(0, Qt::UserRole).toLongLong())]);
        }
    }
    return selected;
}

void THistoryForm::TimelineChange() {
    std::vector<k57::JournalEntry> selected = Selected();
    std::optional<std::string> text =
        selected.empty() ? std::nullopt : browser_->ShownSettings(selected.front());
    SettingsView->setPlainText(text ? k57::FromUnit(*text) : tr("(настроек в записи нет)"));
    EntryLabel->setText(selected.empty() ? QString()
                                         : tr("ПК: %1, пользователь: %2")
                                               .arg(QString::fromStdString(selected.front().pc),
                                                    QString::fromStdString(selected.front().user)));
}

void THistoryForm::Reload() {
    QListWidgetItem* unit = UnitList->currentItem();
    std::optional<qint64> serial;
    if (unit) {
        serial = unit->data(Qt::UserRole).toLongLong();
    }
    std::vector<std::string> chosen;
    for (const k57::JournalEntry& entry : Selected()) {
        chosen.push_back(entry.uuid);
    }
    const QSignalBlocker quiet(UnitList);
    SerialEditChange();
    for (int row = 0; serial && row < UnitList->count(); ++row) {
        if (UnitList->item(row)->data(Qt::UserRole).toLongLong() == *serial) {
            UnitList->setCurrentRow(row);
        }
    }
    UnitListChange();
    for (int i = 0; i < Timeline->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = Timeline->topLevelItem(i);
        const std::string& uuid = timeline_[size_t(item->data(0, Qt::UserRole).toLongLong())].uuid;
        item->setSelected(std::find(chosen.begin(), chosen.end(), uuid) != chosen.end());
    }
}

void THistoryForm::RevealBoxClick() {
    browser_->SetReveal(RevealBox->isChecked());
    TimelineChange();
}

void THistoryForm::ShowDifferences(const std::vector<k57::SettingDifference>& differences) {
    QStringList lines;
    for (const k57::SettingDifference& d : differences) {
        lines << k57::FromUnit(d.name) + " (" + k57::FromUnit(d.key) +
                     "): " + k57::FromUnit(d.before) + " -> " + k57::FromUnit(d.after);
    }
    SettingsView->setPlainText(lines.isEmpty() ? tr("Различий нет.") : lines.join('\n'));
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
    ShowDifferences(browser_->Compare(selected[1], newer.value_or(std::string())));
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
            ShowDifferences(browser_->Compare(entry, *text));
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

// The unit on the port says who it is before anything is read from it or
// recorded: another unit than the entry's is refused. (The window lists
// only the entries of known units.)
void THistoryForm::WriteButtonClick() {
    std::vector<k57::JournalEntry> selected = Selected();
    if (selected.empty() || busy_) {
        return;
    }
    const k57::JournalEntry& entry = selected.front();
    std::optional<std::string> snapshot = k57::SnapshotOf(entry);
    if (!snapshot) {
        dialogs_.message(this, tr("Внимание"), tr("В этой записи нет настроек."), k57::Buttons::Ok);
        return;
    }
    if (dialogs_.message(this, tr("Внимание"),
                         tr("Записать в устройство настройки от %1?").arg(Time(entry.timeMs)),
                         k57::Buttons::OkCancel, k57::Answer::Cancel) != k57::Answer::Ok) {
        return;
    }
    busy_ = true;
    auto unit = std::make_shared<std::optional<uint32_t>>();
    k57::ServiceRecord* record = &guarded_.record();
    guarded_.device().Submit(
        this,
        [record, unit](DeviceInterface& device) {
            *unit = record->Identify(device, true).serial;
            return *unit ? k57::kReplyOk : device.LastFailure().result;
        },
        [this, unit, entry, text = *snapshot](int) { WriteTo(entry, text, *unit); });
}

void THistoryForm::WriteTo(const k57::JournalEntry& entry, const std::string& text,
                           std::optional<uint32_t> unit) {
    auto stop = [this](const QString& caption, const QString& message) {
        busy_ = false;
        dialogs_.message(this, caption, message, k57::Buttons::Ok);
    };
    if (!unit) {
        stop(tr("Ошибка"), k57::NotConnected());
        return;
    }
    if (entry.serial && *entry.serial != *unit) {
        stop(tr("Ошибка"), QCoreApplication::translate(
                               "GuardedChange",
                               "Настройки относятся к устройству %1, а подключено %2. Ничего "
                               "не записано.")
                               .arg(QString::number(*entry.serial), QString::number(*unit)));
        return;
    }
    guarded_.Write(
        this, guarded_.MakeGuard(k57::JournalOperation::Restore), catalogue_, text,
        [this](const k57::WriteCheck& check) {
            busy_ = false;
            k57::GuardedChange::TellWritten(dialogs_, this, check, catalogue_);
            UnitListChange();
        },
        [this] { busy_ = false; }, unit);
}

void THistoryForm::ExportButtonClick() {
    QString path = dialogs_.saveFileName(this, tr("файлы CSV | *.csv"), "csv");
    std::string error;
    if (!path.isEmpty() && !browser_->ExportCsv(path.toStdString(), error)) {
        dialogs_.error(
            this, tr("Не удалось записать файл %1: %2").arg(path, QString::fromStdString(error)));
    }
}
