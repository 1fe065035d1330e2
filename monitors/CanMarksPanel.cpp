#include "CanMarksPanel.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <algorithm>

TCanMarksPanel::TCanMarksPanel(k57::CanSession& can, QWidget* parent)
    : QWidget(parent), can_(can) {
    setObjectName("CanMarksPanel");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    LabelEdit = new QLineEdit(this);
    LabelEdit->setObjectName("LabelEdit");
    // The texts the hunt window had before the panel was its own keep their
    // translations there.
    LabelEdit->setPlaceholderText(QCoreApplication::translate("TCanHuntForm", "дверь"));
    LabelEdit->setMaxLength(200);
    MoveBox = new QComboBox(this);
    MoveBox->setObjectName("MoveBox");
    // In the order of k57::CanMove.
    MoveBox->addItems({tr("—"), tr("вверх"), tr("вниз"), tr("не изменился")});
    MoveBox->setToolTip(tr("Как изменилось искомое значение в момент отметки"));
    auto* mark =
        new QPushButton(QCoreApplication::translate("TCanHuntForm", "Отметка (Пробел)"), this);
    mark->setObjectName("MarkButton");
    MarksLabel = new QLabel(this);
    grid->addWidget(mark, 0, 0);
    grid->addWidget(LabelEdit, 0, 1);
    grid->addWidget(MoveBox, 0, 2);
    grid->addWidget(MarksLabel, 0, 3);

    MarksList = new QTableWidget(0, 3, this);
    MarksList->setObjectName("MarksList");
    MarksList->setHorizontalHeaderLabels({tr("время, с"), tr("подпись"), tr("изменение")});
    MarksList->horizontalHeader()->setStretchLastSection(true);
    MarksList->verticalHeader()->hide();
    MarksList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    MarksList->setSelectionBehavior(QAbstractItemView::SelectRows);
    MarksList->setMaximumHeight(120);
    auto* remove = new QPushButton(tr("Удалить"), this);
    remove->setObjectName("DeleteMarkButton");
    auto* undo = new QPushButton(tr("Отменить (Ctrl+Z)"), this);
    undo->setObjectName("UndoMarkButton");
    grid->addWidget(MarksList, 1, 0, 2, 3);
    grid->addWidget(remove, 1, 3);
    grid->addWidget(undo, 2, 3);

    connect(mark, &QPushButton::clicked, this, &TCanMarksPanel::Mark);
    connect(LabelEdit, &QLineEdit::returnPressed, this, &TCanMarksPanel::Mark);
    connect(remove, &QPushButton::clicked, this, &TCanMarksPanel::DeleteClick);
    connect(undo, &QPushButton::clicked, this, &TCanMarksPanel::UndoClick);
    auto* deleteKey = new QShortcut(QKeySequence::Delete, MarksList);
    deleteKey->setContext(Qt::WidgetShortcut);
    connect(deleteKey, &QShortcut::activated, this, &TCanMarksPanel::DeleteClick);
    auto* undoKey = new QShortcut(QKeySequence::Undo, this);
    connect(undoKey, &QShortcut::activated, this, &TCanMarksPanel::UndoClick);
    Refresh();
}

void TCanMarksPanel::Mark() {
    can_.Mark(LabelEdit->text().toStdString(), k57::CanMove(MoveBox->currentIndex()));
    LabelEdit->clear();
    Refresh();
    emit changed();
}

void TCanMarksPanel::DeleteClick() {
    std::vector<int> rows;
    for (const QModelIndex& index : MarksList->selectionModel()->selectedRows()) {
        rows.push_back(index.row());
    }
    if (rows.empty()) {
        return;
    }
    // From the last up: the rows before keep their places.
    std::sort(rows.rbegin(), rows.rend());
    for (int row : rows) {
        can_.marks().Remove(size_t(row));
    }
    Refresh();
    emit changed();
}

void TCanMarksPanel::UndoClick() {
    if (can_.marks().Undo()) {
        Refresh();
        emit changed();
    }
}

void TCanMarksPanel::Refresh() {
    const k57::CanMarks& marks = can_.marks();
    if (marks.revision() == shown_) {
        return;
    }
    shown_ = marks.revision();
    MarksLabel->setText(QCoreApplication::translate("TCanHuntForm", "отметок: %1").arg(marks.size()));
    MarksList->setRowCount(int(marks.size()));
    int row = 0;
    for (const k57::CanMark& mark : marks.marks()) {
        // Seconds into the capture, as the plots count them: the clock's own
        // ten digits of epoch seconds say nothing at a glance.
        const double seconds = double(mark.us - can_.frames().startUs()) / 1e6;
        const QString cells[] = {QString::number(seconds, 'f', 3),
                                 QString::fromStdString(mark.label),
                                 MoveBox->itemText(int(mark.move))};
        for (int column = 0; column < 3; ++column) {
            MarksList->setItem(row, column, new QTableWidgetItem(cells[column]));
        }
        ++row;
    }
    MarksList->scrollToBottom();
}
