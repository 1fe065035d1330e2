#include "CanSignalsForm.h"

#include <algorithm>
#include <limits>

#include <QComboBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "DialogService.h"
#include "PlotWidget.h"

namespace {

enum Column { kName, kValue, kUnit, kText, kBits };

// The encodings offered, in the list's order: what DBC tools write unless
// told otherwise comes first.
const k57::dbc::Encoding kEncodings[] = {k57::dbc::Encoding::Cp1252, k57::dbc::Encoding::Cp1251,
                                         k57::dbc::Encoding::Utf8};

QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

QString Identifier(const CanRecord& frame) {
    return QString("%1").arg(frame.id, frame.extended ? 8 : 3, 16, QChar('0')).toUpper();
}

// The frame's own bits, as the signals' layouts are drawn over them.
QString FrameBits(const CanRecord& frame) {
    QStringList bytes;
    for (int i = 0; i < frame.Columns(); ++i) {
        bytes << QString("%1").arg(frame.data[i], 8, 2, QChar('0'));
    }
    return bytes.join(' ');
}

}  // namespace

TCanSignalsForm::TCanSignalsForm(const k57::CanFrameLog& frames, QWidget* parent)
    : QWidget(parent, Qt::Window), frames_(frames) {
    setObjectName("CanSignalsForm");
    setWindowTitle(tr("Сигналы CAN"));
    LoadButton = new QPushButton(tr("Загрузить DBC…"), this);
    LoadButton->setObjectName("LoadButton");
    EncodingList = new QComboBox(this);
    EncodingList->setObjectName("EncodingList");
    EncodingList->addItems({"Windows-1252", "Windows-1251", "UTF-8"});
    UnloadButton = new QPushButton(tr("Убрать все"), this);
    UnloadButton->setObjectName("UnloadButton");
    FilesLabel = new QLabel(this);
    FilesLabel->setObjectName("FilesLabel");

    SignalsTree = new QTreeWidget(this);
    SignalsTree->setObjectName("SignalsTree");
    SignalsTree->setHeaderLabels(
        {tr("Сообщение / сигнал"), tr("Значение"), tr("Ед."), tr("Текст"), tr("Биты")});
    SignalsTree->setUniformRowHeights(true);
    SignalsTree->setAllColumnsShowFocus(true);
    SignalsTree->header()->setSectionResizeMode(QHeaderView::Interactive);
    SignalsTree->setColumnWidth(kName, 240);
    SignalsTree->setColumnWidth(kValue, 90);
    SignalsTree->setColumnWidth(kUnit, 50);
    SignalsTree->setColumnWidth(kText, 120);
    Plot = new k57::PlotWidget(this);
    Plot->setObjectName("Plot");
    Plot->SetData(&signals_.plot());

    auto* bar = new QHBoxLayout;
    bar->addWidget(LoadButton);
    bar->addWidget(EncodingList);
    bar->addWidget(UnloadButton);
    bar->addWidget(FilesLabel, 1);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(SignalsTree);
    splitter->addWidget(Plot);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(splitter, 1);
    resize(980, 700);

    connect(LoadButton, &QPushButton::clicked, this, &TCanSignalsForm::LoadButtonClick);
    connect(UnloadButton, &QPushButton::clicked, this, &TCanSignalsForm::UnloadButtonClick);
    connect(SignalsTree, &QTreeWidget::itemChanged, this, &TCanSignalsForm::SignalTicked);
    refresh_.setInterval(kRefreshMs);
    connect(&refresh_, &QTimer::timeout, this, &TCanSignalsForm::RefreshTimer);
    refresh_.start();
    FilesChanged();
}

TCanSignalsForm::~TCanSignalsForm() = default;

void TCanSignalsForm::SetDialogs(k57::DialogService* dialogs) {
    dialogs_ = dialogs;
    Plot->SetDialogs(dialogs);
}

// Problems are reported with their file and line; a file with errors is
// kept with what could be read of it.
void TCanSignalsForm::LoadButtonClick() {
    if (!dialogs_) {
        return;
    }
    QString path = dialogs_->openFileName(this, "DBC | *.dbc", "dbc");
    if (path.isEmpty()) {
        return;
    }
    std::vector<k57::dbc::Diagnostic> problems;
    bool loaded = signals_.Load(path, kEncodings[EncodingList->currentIndex()], problems);
    FilesChanged();
    if (problems.empty()) {
        return;
    }
    QStringList lines;
    bool errors = !loaded;
    for (size_t i = 0; i < problems.size(); ++i) {
        errors = errors || !problems[i].warning;
        if (i < kShownProblems) {
            lines << Utf8(problems[i].ToString());
        }
    }
    if (problems.size() > kShownProblems) {
        lines << tr("… и ещё %1").arg(problems.size() - kShownProblems);
    }
    if (errors) {
        dialogs_->error(this, lines.join('\n'));
    } else {
        dialogs_->message(this, tr("Внимание"), lines.join('\n'));
    }
}

void TCanSignalsForm::UnloadButtonClick() {
    signals_.Unload();
    FilesChanged();
}

void TCanSignalsForm::ClearTree() {
    shown_.clear();
    SignalsTree->clear();
}

void TCanSignalsForm::Restart() {
    signals_.Restart();
    ClearTree();
}

void TCanSignalsForm::FilesChanged() {
    ClearTree();
    QStringList names;
    for (const auto& file : signals_.files()) {
        names << QFileInfo(file->path).fileName();
    }
    FilesLabel->setText(names.isEmpty() ? tr("Файлы DBC не загружены") : names.join(", "));
    UnloadButton->setEnabled(!names.isEmpty());
}

void TCanSignalsForm::RefreshTimer() {
    if (signals_.Follow(frames_)) {
        ClearTree();  // a new capture
    }
    if (!isVisible()) {
        return;
    }
    for (const auto& [key, row] : signals_.rows()) {
        auto shown = shown_.find(key);
        if (shown == shown_.end() || shown->second.frames != row.frames) {
            ShowRow(row);
        }
    }
}

// A message's item: its identifier and name over the frame's bits; under
// it one item per signal, ticked to plot it.
void TCanSignalsForm::ShowRow(const k57::CanSignals::Row& row) {
    const QSignalBlocker quiet(SignalsTree);  // texts set here are no ticks
    const k57::dbc::Message& message = *row.message;
    Shown& shown = shown_[row.frame.Key()];
    if (!shown.item) {
        shown.item = new QTreeWidgetItem;
        shown.item->setText(kName, Identifier(row.frame) + "  " + Utf8(message.name));
        shown.item->setFont(kBits, QFontDatabase::systemFont(QFontDatabase::FixedFont));
        for (const k57::dbc::Signal& signal : message.signalList) {
            auto* item = new QTreeWidgetItem(shown.item);
            item->setText(kName, Utf8(signal.name));
            item->setText(kUnit, Utf8(signal.unit));
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(kName, signals_.Plotted(signal) ? Qt::Checked : Qt::Unchecked);
            item->setData(kName, Qt::UserRole,
                          QVariant::fromValue(reinterpret_cast<quintptr>(&signal)));
            item->setFont(kBits, QFontDatabase::systemFont(QFontDatabase::FixedFont));
            if (!signal.comment.empty()) {
                item->setToolTip(kName, Utf8(signal.comment));
            }
        }
        // In identifier order, as the CAN monitor lists them.
        auto next = shown_.upper_bound(row.frame.Key());
        int at = SignalsTree->topLevelItemCount();
        while (next != shown_.end() && !next->second.item) {
            ++next;
        }
        if (next != shown_.end()) {
            at = SignalsTree->indexOfTopLevelItem(next->second.item);
        }
        SignalsTree->insertTopLevelItem(at, shown.item);
    }
    shown.frames = row.frames;
    // Counted: English says "1 frame" but "2 frames" (the Russian abbreviation
    // fits every count). The count picks the form; the number itself is
    // 64 bits and goes in whole.
    const int form = int(std::min<uint64_t>(row.frames, std::numeric_limits<int>::max()));
    shown.item->setText(kValue, tr("%1 кадр.", nullptr, form).arg(row.frames));
    shown.item->setText(kBits, FrameBits(row.frame));
    for (int i = 0; i < shown.item->childCount(); ++i) {
        QTreeWidgetItem* item = shown.item->child(i);
        const k57::dbc::Signal& signal = message.signalList[size_t(i)];
        auto value = std::find_if(row.values.begin(), row.values.end(),
                                  [&](const k57::dbc::Value& v) { return v.signal == &signal; });
        const bool present = value != row.values.end();
        item->setText(kValue, present ? QString::number(value->physical, 'g', 10) : "—");
        item->setText(kText, present && value->text ? Utf8(*value->text) : QString());
        item->setText(kBits, Utf8(k57::BitLayout(signal, row.frame.data, row.frame.Columns())));
    }
}

void TCanSignalsForm::SignalTicked(QTreeWidgetItem* item, int column) {
    QVariant pointer = item->data(kName, Qt::UserRole);
    if (column != kName || !pointer.isValid()) {
        return;
    }
    const auto* signal = reinterpret_cast<const k57::dbc::Signal*>(pointer.value<quintptr>());
    signals_.SetPlotted(*signal, item->checkState(kName) == Qt::Checked);
}
