#include "TraceForm.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "ScreenFit.h"
#include "Trace.h"
#include "TraceFormat.h"

TTraceForm::TTraceForm(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("TraceForm");
    setWindowTitle(tr("Трассировка обмена"));
    view_ = new QPlainTextEdit(this);
    view_->setObjectName("TraceView");
    view_->setReadOnly(true);
    view_->setLineWrapMode(QPlainTextEdit::NoWrap);
    view_->setMaximumBlockCount(int(k57::Trace::kDefaultLines));
    view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    search_ = new QLineEdit(this);
    search_->setObjectName("TraceSearch");
    search_->setPlaceholderText(tr("Найти…"));
    auto* find = new QPushButton(tr("Найти"), this);
    pause_ = new QPushButton(tr("Пауза"), this);
    pause_->setObjectName("TracePause");
    pause_->setCheckable(true);
    auto* clear = new QPushButton(tr("Очистить"), this);
    clear->setObjectName("TraceClear");
    // The trace goes to support: the owner's PIN and numbers stay masked
    // unless the technician asks, and then only in what comes next.
    reveal_ = new QCheckBox(tr("Показывать PIN-код и телефоны"), this);
    reveal_->setObjectName("TraceReveal");
    reveal_->setToolTip(
        tr("В новых записях трассировки PIN-код SIM-карты и номера "
           "телефонов будут видны полностью"));
    reveal_->setChecked(k57::Trace::Global().RevealsPrivate());

    auto* bar = new QHBoxLayout;
    bar->addWidget(search_, 1);
    bar->addWidget(find);
    bar->addWidget(pause_);
    bar->addWidget(clear);
    bar->addWidget(reveal_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(view_, 1);
    resize(900, 500);
    k57::FitToScreen(*this);  // a laptop at 150 % has less room than designed

    connect(search_, &QLineEdit::returnPressed, this, &TTraceForm::FindNext);
    connect(find, &QPushButton::clicked, this, &TTraceForm::FindNext);
    connect(pause_, &QPushButton::toggled, this, [this] { Follow(); });
    connect(clear, &QPushButton::clicked, this, &TTraceForm::Clear);
    connect(reveal_, &QCheckBox::toggled, this,
            [](bool reveal) { k57::Trace::Global().SetRevealPrivate(reveal); });
    connect(&follow_, &QTimer::timeout, this, &TTraceForm::Follow);
    follow_.start(kFollowMs);
}

bool TTraceForm::paused() const {
    return pause_->isChecked();
}

void TTraceForm::SetPaused(bool paused) {
    pause_->setChecked(paused);
}

// Only a view at its end follows; one scrolled back stays where it is.
void TTraceForm::Follow() {
    if (paused() || !isVisible()) {
        return;
    }
    std::vector<k57::TraceEntry> entries = k57::Trace::Global().Entries(shown_);
    if (entries.empty()) {
        return;
    }
    QScrollBar* bar = view_->verticalScrollBar();
    bool atEnd = bar->value() == bar->maximum();
    QStringList lines;
    for (const k57::TraceEntry& entry : entries) {
        for (const std::string& line : k57::FormatTrace(entry)) {
            lines << QString::fromStdString(line);
        }
    }
    shown_ = entries.back().sequence;
    view_->appendPlainText(lines.join('\n'));
    if (atEnd) {
        bar->setValue(bar->maximum());
    }
}

bool TTraceForm::FindNext() {
    QString text = search_->text();
    if (text.isEmpty()) {
        return false;
    }
    if (view_->find(text)) {
        return true;
    }
    view_->moveCursor(QTextCursor::Start);
    return view_->find(text);
}

void TTraceForm::Clear() {
    k57::Trace::Global().Clear();
    view_->clear();
}
