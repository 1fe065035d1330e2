#include "ParametersEditForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

#include "SettingsFile.h"
#include "UnitText.h"
#include "WindowTexts.h"

namespace {

// The dialog's filter is shown to the user: translated where it is used.
const char kFilter[] = QT_TRANSLATE_NOOP("TParametersEditForm", "текстовые файлы настроек | *.txt");
// A parameter node's index in the list.
constexpr int kParameterIndex = Qt::UserRole;

}  // namespace

TParametersEditForm::TParametersEditForm(k57::DialogService& dialogs, k57::DeviceSession& device,
                                         QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      dialogs_(dialogs),
      device_(device) {
    setObjectName("ParametersEditForm");
    setWindowTitle(tr("Редактор параметров"));
    BuildLayout();
}

TParametersEditForm::~TParametersEditForm() = default;

void TParametersEditForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void TParametersEditForm::FormShow() {
    session_.Start(parameters);
    SetModified(false);
    SavedLabel->hide();
    Tree->clear();
    nodes_.clear();
    Panel1->hide();
    if (!parameters) {
        return;
    }
    nodes_.resize(size_t(parameters->ParameterCount()), nullptr);
    for (int g = 0; g < parameters->GroupCount(); ++g) {
        const std::string& name = parameters->GroupAt(g).name;
        auto* group = new QTreeWidgetItem(Tree, {k57::FromUnit(name)});
        for (int i = 0; i < parameters->ParameterCount(); ++i) {
            const Parameter& p = parameters->ParameterAt(i);
            if (p.groupName == name) {
                auto* node = new QTreeWidgetItem(group, {k57::FromUnit(p.name)});
                node->setData(0, kParameterIndex, i);
                // Several names share a long beginning the column cuts.
                node->setToolTip(0, node->text(0));
                nodes_[size_t(i)] = node;
                ShowInTree(i);
            }
        }
    }
}

// A changed value is bold, and so is its group, so that a folded group
// still shows it holds a change.
void TParametersEditForm::ShowInTree(int index) {
    QTreeWidgetItem* node =
        index >= 0 && size_t(index) < nodes_.size() ? nodes_[size_t(index)] : nullptr;
    if (!node) {
        return;
    }
    node->setText(1, QString::fromStdString(session_.ValueText(index)));
    QFont font = node->font(0);
    font.setBold(session_.Changed(index));
    node->setFont(0, font);
    node->setFont(1, font);
    QTreeWidgetItem* group = node->parent();
    bool groupChanged = false;
    for (int i = 0; i < group->childCount(); ++i) {
        groupChanged = groupChanged || group->child(i)->font(0).bold();
    }
    QFont groupFont = group->font(0);
    groupFont.setBold(groupChanged);
    group->setFont(0, groupFont);
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
    if (!CommitEdit()) {
        return false;
    }
    QVariant index = node ? node->data(0, kParameterIndex) : QVariant();
    session_.Select(index.isValid() ? index.toInt() : -1);
    if (!session_.current()) {
        Panel1->hide();
        return true;
    }
    ShowParameter();
    return true;
}

void TParametersEditForm::ShowParameter() {
    const Parameter& p = *session_.current();
    Panel1->show();
    EnumValue->clear();
    DescriptionLabel->setText(k57::FromUnit(p.description));
    ValueEdit->setText(QString::fromStdString(session_.typed()));
    GroupBox1->setTitle(k57::FromUnit(p.name));
    ShowSms();
    bool isEnum = p.type == ParameterType::Enum;
    if (isEnum) {
        ShowChoices();
    }
    ValueEdit->setVisible(!isEnum);
    EnumValue->setVisible(isEnum);
}

// A value that matches no item shows as an entry of its own, with a hint,
// until the user picks a real one.
void TParametersEditForm::ShowChoices() {
    EnumValue->clear();
    for (const std::string& text : session_.ChoiceTexts()) {
        EnumValue->addItem(QString::fromStdString(text));
    }
    EnumValue->setCurrentIndex(session_.ChosenIndex());
}

void TParametersEditForm::ValueEditChange() {
    session_.Type(ValueEdit->text().toStdString());
    ShowSms();
}

bool TParametersEditForm::eventFilter(QObject* watched, QEvent* event) {
    // Enter commits the value as leaving the field does, and goes no
    // further: the dialog would take it for its default button.
    if (watched == ValueEdit && event->type() == QEvent::KeyPress) {
        int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (CommitEdit()) {
                ValueEdit->selectAll();
            }
            return true;
        }
    }
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
    if (session_.Choose(index)) {
        ValueEdit->setText(QString::fromStdString(session_.typed()));
        ShowChoices();
        ShowInTree(session_.currentIndex());
        SetModified(session_.modified());
    }
}

void TParametersEditForm::Refuse(const QString& text) {
    if (!validating_) {
        validating_ = true;
        dialogs_.warning(this, tr("Ошибка"), text);
        validating_ = false;
    }
    ValueEdit->setFocus();
    ValueEdit->selectAll();
}

// Commits the typed value; a refusal is shown and the edit stays.
bool TParametersEditForm::CommitEdit() {
    bool was = session_.modified();
    if (std::optional<std::string> refusal = session_.Commit()) {
        Refuse(QString::fromStdString(*refusal));
        return false;
    }
    ShowInTree(session_.currentIndex());
    if (session_.modified() != was) {
        SetModified(session_.modified());
    }
    return true;
}

void TParametersEditForm::SetModified(bool value) {
    session_.SetModified(value);
    setWindowTitle(value ? tr("Редактор параметров. Настройки изменены!")
                         : tr("Редактор параметров"));
    if (value) {
        ShowSms();
        SavedLabel->hide();  // the file no longer holds what is shown
    }
}

void TParametersEditForm::ShowSms() {
    SmsLabel->setText(QString::fromStdString(session_.SmsLine()));
    SmsLabel->adjustSize();  // the label sits at a fixed place, not in a layout
}

void TParametersEditForm::SaveActionExecute() {
    CommitEdit();
    QString path = dialogs_.saveFileName(this, tr(kFilter), "txt");
    if (path.isEmpty() || !parameters) {
        return;
    }
    std::string error;
    if (!k57::SettingsFile::Write(path.toStdString(), parameters->ValuesToText(), error)) {
        dialogs_.error(
            this, tr("Не удалось записать файл %1: %2").arg(path, QString::fromStdString(error)));
        return;
    }
    Unchanged();
    SavedLabel->setText(tr("Настройки сохранены в файл %1").arg(QDir::toNativeSeparators(path)));
    SavedLabel->show();
}

// The values saved or held by the unit are the ones changes are told from:
// the marks go.
void TParametersEditForm::Unchanged() {
    session_.Rebase();
    SetModified(false);
    for (size_t i = 0; i < nodes_.size(); ++i) {
        ShowInTree(int(i));
    }
}

void TParametersEditForm::SendActionExecute() {
    if (writing_) {
        return;
    }
    CommitEdit();
    std::string text = parameters ? parameters->ValuesToText() : std::string();
    // An empty text is no slip to make lightly: the unit would lose its PIN
    // and its owners' numbers with every other setting.
    bool agreed =
        text.empty()
            ? dialogs_.message(this, tr("Внимание"),
                               tr("Все параметры имеют значения по умолчанию: записанные в "
                                  "устройство, они сбросят все его настройки, включая PIN-код и "
                                  "телефоны.\nЗаписать?"),
                               k57::Buttons::YesNo, k57::Answer::No) == k57::Answer::Yes
            : dialogs_.message(this, tr("Внимание"), tr("Записать настройки в устройство?"),
                               k57::Buttons::OkCancel) == k57::Answer::Ok;
    if (!agreed || !device_.get() || !parameters) {
        return;
    }
    writing_ = true;
    auto written = [this](const k57::WriteCheck& check) {
        writing_ = false;
        SettingsWritten(check);
    };
    if (guarded_) {
        guarded_->Write(this, guarded_->MakeGuard(k57::JournalOperation::WriteSettings),
                        *parameters, text, written, [this] { writing_ = false; });
        return;
    }
    auto attempt = std::make_shared<k57::WriteAttempt>();
    device_.Submit(
        this,
        [text, attempt](DeviceInterface& device) {
            *attempt = k57::WriteAndReadBack(device, text);
            return attempt->writeResult;
        },
        [this, attempt, written](int) { written(k57::Judge(*parameters, *attempt)); });
}

// A write is under way until its verdict is back: the editor takes no
// second one meanwhile. Only a write the unit is known to hold leaves the
// editor unmodified.
void TParametersEditForm::SettingsWritten(const k57::WriteCheck& check) {
    if (check.state == k57::WriteCheck::State::NotSent && check.writeResult == k57::kCannotFrame) {
        dialogs_.warning(this, tr("Ошибка"),
                         tr("Настройки не записаны: текст настроек длиннее %1 байт, "
                            "устройство его не примет.")
                             .arg(k57::kMaxSettingsText));
        return;
    }
    k57::GuardedChange::TellWritten(dialogs_, this, check, *parameters);
    if (check.confirmed()) {
        Unchanged();
    }
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
    if (!session_.modified() && !session_.HasUncommittedEdit()) {
        return true;
    }
    // Enter keeps the changes: throwing them away takes a deliberate OK.
    return dialogs_.message(this, tr("Внимание"), tr("Настройки изменены, выйти без сохранения?"),
                            k57::Buttons::OkCancel, k57::Answer::Cancel) == k57::Answer::Ok;
}
