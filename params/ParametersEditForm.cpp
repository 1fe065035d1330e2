#include "ParametersEditForm.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <functional>

#include "BusyCursor.h"
#include "SettingsFile.h"
#include "UnitText.h"
#include "Validation.h"

namespace {

const char kCaption[] = "Редактор параметров";
const char kModifiedCaption[] = "Редактор параметров. Настройки изменены!";
const char kFilter[] = "текстовые файлы настроек | *.txt";
constexpr int kGroupName = Qt::UserRole;

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

TParametersEditForm::TParametersEditForm(k57::DialogService& dialogs, k57::DeviceSession& device,
                                         QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      dialogs_(dialogs),
      device_(device) {
    setObjectName("ParametersEditForm");
    setWindowTitle(kCaption);
    setFont(Font("Tahoma", 11));
    BuildLayout();
}

TParametersEditForm::~TParametersEditForm() = default;

void TParametersEditForm::BuildLayout() {
    auto* menu = new QMenuBar(this);
    QAction* save = menu->addAction("Записать в файл");
    QAction* send = menu->addAction("Записать в устройство");
    QAction* exit = menu->addAction("Выйти");
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

    GroupBox1 = new QGroupBox("Название параметра", Panel1);
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

    auto* smsBox = new QGroupBox("Формат SMS команды для изменения параметра", Panel1);
    smsBox->setObjectName("GroupBox3");
    smsBox->setFixedHeight(100);
    SmsLabel = new QLabel("Set1234,MicLevel=8", smsBox);
    SmsLabel->setObjectName("SmsLabel");
    SmsLabel->setFont(Font("Verdana", 13, true));
    SmsLabel->setTextFormat(Qt::PlainText);
    SmsLabel->move(15, 43);

    auto* descriptionBox = new QGroupBox("Описание параметра", Panel1);
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

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(menu);
    layout->addWidget(splitter);
    resize(721, 473 + menu->sizeHint().height());
    Panel1->hide();  // until a parameter is chosen
}

void TParametersEditForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void TParametersEditForm::FormShow() {
    current_ = nullptr;
    currentEnum_ = nullptr;
    SetModified(false);
    Tree->clear();
    Panel1->hide();
    if (!parameters) {
        return;
    }
    for (int g = 0; g < parameters->GroupCount(); ++g) {
        const std::string& name = parameters->GroupAt(g).name;
        auto* group = new QTreeWidgetItem(Tree, {k57::FromUnit(name)});
        group->setData(0, kGroupName, QByteArray::fromStdString(name));
        for (const Parameter& p : parameters->GroupParameters(name)) {
            new QTreeWidgetItem(group, {k57::FromUnit(p.name)});
        }
    }
}

// Selecting a node expands it and folds the one expanded before.
void TParametersEditForm::AutoExpand(QTreeWidgetItem* node) {
    if (!node) {
        return;
    }
    QTreeWidgetItem* top = node->parent() ? node->parent() : node;
    for (int i = 0; i < Tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* other = Tree->topLevelItem(i);
        if (other != top) {
            other->setExpanded(false);
        }
    }
    node->setExpanded(true);
    top->setExpanded(true);
}

bool TParametersEditForm::TreeChanging(QTreeWidgetItem* node) {
    if (current_) {
        std::optional<std::string> typed = ValidateValue(*current_);
        if (!typed) {
            return false;
        }
        if (*typed != current_->value) {
            current_->value = *typed;
            SetModified(true);
        }
    }
    if (!node || !node->parent() || !parameters) {
        Panel1->hide();
        current_ = nullptr;
        return true;
    }
    // The k-th parameter of the parent's group, counted in catalogue order.
    std::string group = node->parent()->data(0, kGroupName).toByteArray().toStdString();
    int k = node->parent()->indexOfChild(node);
    for (int i = 0; i < parameters->ParameterCount(); ++i) {
        Parameter& p = parameters->ParameterAt(i);
        if (p.groupName == group && k-- == 0) {
            ShowParameter(&p);
            break;
        }
    }
    return true;
}

void TParametersEditForm::ShowParameter(Parameter* p) {
    current_ = p;
    Panel1->show();
    EnumValue->clear();
    DescriptionLabel->setText(k57::FromUnit(p->description));
    ValueEdit->setText(k57::FromUnit(p->value));
    GroupBox1->setTitle(k57::FromUnit(p->name));
    ShowSms();
    bool isEnum = p->type == ParameterType::Enum;
    if (isEnum) {
        currentEnum_ = parameters->FindEnum(p->enumName);
        // An enumeration missing from the catalogue offers an empty list;
        // a value that matches no item selects nothing.
        int selected = -1;
        for (int i = 0; currentEnum_ && i < currentEnum_->Count(); ++i) {
            const EnumItem* item = currentEnum_->ItemAt(i);
            EnumValue->addItem(k57::FromUnit(item->text));
            if (selected < 0 && std::to_string(item->value) == p->value) {
                selected = i;
            }
        }
        EnumValue->setCurrentIndex(selected);
    }
    ValueEdit->setVisible(!isEnum);
    EnumValue->setVisible(isEnum);
}

void TParametersEditForm::ValueEditChange() {
    ShowSms();
}

bool TParametersEditForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ValueEdit && event->type() == QEvent::FocusOut) {
        auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Leaving for another control commits; a message box or another
        // window taking the focus does not, and a move to the tree commits
        // through the tree's own check.
        bool toControl = reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
        if (toControl && QApplication::focusWidget() != Tree) {
            ValueEditExit();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TParametersEditForm::ValueEditExit() {
    CommitEdit();
}

void TParametersEditForm::EnumValueChange(int index) {
    if (!current_ || !currentEnum_) {
        return;
    }
    const EnumItem* item = currentEnum_->ItemAt(index);
    if (!item) {
        return;
    }
    std::string value = std::to_string(item->value);
    if (value != current_->value) {
        ValueEdit->setText(QString::fromStdString(value));
        current_->value = value;
        SetModified(true);
    }
}

void TParametersEditForm::Refuse(const QString& text) {
    if (!validating_) {
        validating_ = true;
        dialogs_.message(this, "Ошибка", text, k57::Buttons::Ok);
        validating_ = false;
    }
    ValueEdit->setFocus();
    ValueEdit->selectAll();
}

// The typed text as the unit's bytes when it may be stored; otherwise the
// reason is shown and nothing is returned.
std::optional<std::string> TParametersEditForm::ValidateValue(const Parameter& p) {
    std::optional<std::string> typed = k57::ToUnit(ValueEdit->text());
    if (!typed) {
        // A converter would silently store "?" for such a character.
        Refuse("Значение содержит символы, которых нет в кодировке устройства (Windows-1251).");
        return std::nullopt;
    }
    if (auto refusal = ::ValidateValue(p, *typed)) {
        Refuse(k57::FromUnit(refusal->value) + QString::fromStdString(refusal->message));
        return std::nullopt;
    }
    return typed;
}

void TParametersEditForm::CommitEdit() {
    if (!current_) {
        return;
    }
    std::optional<std::string> typed = ValidateValue(*current_);
    if (typed && *typed != current_->value) {
        current_->value = *typed;
        SetModified(true);
    }
}

void TParametersEditForm::SetModified(bool value) {
    modified_ = value;
    setWindowTitle(value ? kModifiedCaption : kCaption);
    if (value) {
        ShowSms();
    }
}

void TParametersEditForm::ShowSms() {
    SmsLabel->setText(SmsCommandText());
    SmsLabel->adjustSize();  // the label sits at a fixed place, not in a layout
}

QString TParametersEditForm::SmsCommandText() const {
    if (!current_ || !parameters) {
        return {};
    }
    return "Set" + k57::FromUnit(parameters->DisplayValue("PinCod")) + "," +
           k57::FromUnit(current_->key) + "=" + ValueEdit->text();
}

bool TParametersEditForm::HasUncommittedEdit() const {
    return current_ && k57::ToUnit(ValueEdit->text()) != current_->value;
}

void TParametersEditForm::SaveActionExecute() {
    CommitEdit();
    QString path = dialogs_.saveFileName(this, kFilter, "txt");
    if (path.isEmpty() || !parameters) {
        return;
    }
    std::string error;
    if (!k57::SettingsFile::Write(path.toStdString(), parameters->ValuesToText(), error)) {
        dialogs_.error(this,
                       "Не удалось записать файл " + path + ": " + QString::fromStdString(error));
        return;
    }
    SetModified(false);
}

void TParametersEditForm::SendActionExecute() {
    CommitEdit();
    k57::Answer answer = dialogs_.message(this, "Внимание", "Записать настройки в устройство?",
                                          k57::Buttons::OkCancel);
    DeviceInterface* device = device_.get();
    if (answer != k57::Answer::Ok || !device || !parameters) {
        return;
    }
    int result = k57::WhileBusy([&] { return device->WriteSettings(parameters->ValuesToText()); });
    if (result != k57::kReplyOk) {
        dialogs_.message(this, "Ошибка", "Устройство не подключено или занято", k57::Buttons::Ok);
        return;
    }
    dialogs_.message(this, "Сообщение", "Настройки записаны.", k57::Buttons::Ok);
    SetModified(false);
}

void TParametersEditForm::CloseActionExecute() {
    CommitEdit();
    close();
}

void TParametersEditForm::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery()) {
        event->accept();
        done(QDialog::Rejected);
    } else {
        event->ignore();
    }
}

// Esc closes like the title bar's button, with the same question.
void TParametersEditForm::reject() {
    close();
}

// A change typed but not yet committed counts as a modification too, so
// closing from the title bar cannot drop it without a question.
bool TParametersEditForm::FormCloseQuery() {
    if (!modified_ && !HasUncommittedEdit()) {
        return true;
    }
    return dialogs_.message(this, "Внимание", "Настройки изменены, выйти без сохранения?",
                            k57::Buttons::OkCancel) == k57::Answer::Ok;
}
