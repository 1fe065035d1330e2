// The parameter editor's controls and their places.

#include <QComboBox>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <functional>

#include "ParametersEditForm.h"
#include "ScreenFit.h"

namespace {

// Asks before the tree's current node moves; a refused move leaves the
// selection where it was, for the mouse, the keyboard and the program alike.
class GuardedSelection : public QItemSelectionModel {
  public:
    GuardedSelection(QAbstractItemModel* model, std::function<bool(const QModelIndex&)> allow)
        : QItemSelectionModel(model), allow_(std::move(allow)) {}

    void setCurrentIndex(const QModelIndex& index, SelectionFlags command) override {
        if (index != currentIndex() && !allow_(index)) {
            return;
        }
        QItemSelectionModel::setCurrentIndex(index, command);
    }
    // Views select after making the node current: a selection that is not
    // the current node belongs to a refused move.
    void select(const QItemSelection& selection, SelectionFlags command) override {
        if (!selection.indexes().isEmpty() && !selection.contains(currentIndex())) {
            return;
        }
        QItemSelectionModel::select(selection, command);
    }
    using QItemSelectionModel::select;

  private:
    std::function<bool(const QModelIndex&)> allow_;
};

QFont Font(const char* family, int pixels, bool bold = false) {
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

}  // namespace

void TParametersEditForm::BuildLayout() {
    setFont(Font("Tahoma", 11));
    auto* menu = new QMenuBar(this);
    QAction* save = menu->addAction(tr("Записать в файл"));
    QAction* send = menu->addAction(tr("Записать в устройство"));
    QAction* exit = menu->addAction(tr("Выйти"));
    save->setObjectName("SaveAction");
    send->setObjectName("SendAction");
    exit->setObjectName("CloseAction");
    connect(save, &QAction::triggered, this, &TParametersEditForm::SaveActionExecute);
    connect(send, &QAction::triggered, this, &TParametersEditForm::SendActionExecute);
    connect(exit, &QAction::triggered, this, &TParametersEditForm::CloseActionExecute);

    auto* splitter = new QSplitter(this);
    splitter->setObjectName("Splitter1");
    splitter->setHandleWidth(8);
    splitter->setChildrenCollapsible(false);

    Tree = new QTreeWidget(splitter);
    Tree->setObjectName("Tree");
    Tree->setHeaderHidden(true);
    Tree->setColumnCount(2);  // the parameter's name and its value
    Tree->setColumnWidth(0, 190);
    Tree->setFrameShape(QFrame::NoFrame);
    Tree->setIndentation(19);
    Tree->setMouseTracking(true);  // hot tracking
    Tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Tree->setSelectionModel(new GuardedSelection(Tree->model(), [this](const QModelIndex& index) {
        return TreeChanging(Tree->itemFromIndex(index));
    }));
    connect(Tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) { AutoExpand(Tree->itemFromIndex(index)); });

    Panel1 = new QWidget(splitter);
    Panel1->setObjectName("Panel1");
    auto* panel = new QVBoxLayout(Panel1);
    panel->setContentsMargins(0, 0, 0, 0);
    panel->setSpacing(0);

    GroupBox1 = new QGroupBox(tr("Название параметра"), Panel1);
    GroupBox1->setObjectName("GroupBox1");
    GroupBox1->setFixedHeight(100);
    ValueEdit = new QLineEdit(GroupBox1);
    ValueEdit->setObjectName("ValueEdit");
    ValueEdit->setGeometry(15, 45, 184, ValueEdit->sizeHint().height());
    ValueEdit->installEventFilter(this);
    EnumValue = new QComboBox(GroupBox1);
    EnumValue->setObjectName("EnumValue");
    EnumValue->setGeometry(15, 45, 320, EnumValue->sizeHint().height());
    connect(ValueEdit, &QLineEdit::textChanged, this, &TParametersEditForm::ValueEditChange);
    connect(EnumValue, QOverload<int>::of(&QComboBox::activated), this,
            &TParametersEditForm::EnumValueChange);

    auto* smsBox = new QGroupBox(tr("Формат SMS команды для изменения параметра"), Panel1);
    smsBox->setObjectName("GroupBox3");
    smsBox->setFixedHeight(100);
    SmsLabel = new QLabel("Set1234,MicLevel=8", smsBox);
    SmsLabel->setObjectName("SmsLabel");
    SmsLabel->setFont(Font("Verdana", 13, true));
    SmsLabel->setTextFormat(Qt::PlainText);
    SmsLabel->move(15, 43);

    auto* descriptionBox = new QGroupBox(tr("Описание параметра"), Panel1);
    descriptionBox->setObjectName("GroupBox2");
    auto* description = new QVBoxLayout(descriptionBox);
    description->setContentsMargins(8, 10, 0, 0);
    DescriptionLabel = new QLabel(descriptionBox);
    DescriptionLabel->setObjectName("DescriptionLabel");
    DescriptionLabel->setFont(Font("Verdana", 11));
    DescriptionLabel->setTextFormat(Qt::PlainText);
    DescriptionLabel->setWordWrap(true);
    DescriptionLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    description->addWidget(DescriptionLabel);

    panel->addWidget(GroupBox1);
    panel->addWidget(smsBox);
    panel->addWidget(descriptionBox, 1);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({297, 721 - 297 - 8});

    // The window has no status bar; a save is confirmed in this line under
    // the panels, with the path, so the file can be found again.
    SavedLabel = new QLabel(this);
    SavedLabel->setObjectName("SavedLabel");
    SavedLabel->setTextFormat(Qt::PlainText);
    SavedLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    SavedLabel->setContentsMargins(8, 2, 8, 2);
    SavedLabel->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(menu);
    layout->addWidget(splitter);
    layout->addWidget(SavedLabel);
    resize(721, 473 + menu->sizeHint().height());
    k57::FitToScreen(*this);
    Panel1->hide();  // until a parameter is chosen
}
