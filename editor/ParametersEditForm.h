#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "DeviceSession.h"
#include "DialogService.h"
#include "EditSession.h"
#include "GuardedChange.h"
#include "ParameterList.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

// The parameter editor: the catalogue as a tree of groups and parameters
// with their values (bold: changed since the window was shown), the chosen
// parameter's value, description and SMS command, and commands to save the
// settings to a file and write them to the unit. It edits the list it is
// given in place.
class TParametersEditForm : public QDialog {
    Q_OBJECT

  public:
    TParametersEditForm(k57::DialogService& dialogs, k57::DeviceSession& device,
                        QWidget* parent = nullptr);
    ~TParametersEditForm() override;

    // The list to edit; set before showing. Not owned.
    ParameterList* parameters = nullptr;
    bool modified() const { return session_.modified(); }
    // Writes go through it: the unit's settings backed up and the write
    // journaled. Without one the editor writes unguarded. Not owned.
    void SetGuardedChange(k57::GuardedChange* guarded) { guarded_ = guarded; }

  public slots:
    void SaveActionExecute();
    void SendActionExecute();
    void CloseActionExecute();
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void SettingsWritten(const k57::WriteCheck& check);
    void BuildLayout();
    void FormShow();
    bool TreeChanging(QTreeWidgetItem* node);
    void ShowParameter();
    void ShowChoices();
    // The tree's value column and bold mark for parameter `index` and its group.
    void ShowInTree(int index);
    void ValueEditChange();
    void ValueEditExit();
    void EnumValueChange(int index);
    bool FormCloseQuery();

    bool CommitEdit();
    // After a save or a confirmed write: nothing left to mark.
    void Unchanged();
    void SetModified(bool value);
    void ShowSms();
    void Refuse(const QString& text);
    void AutoExpand(QTreeWidgetItem* node);

    k57::DialogService& dialogs_;
    k57::DeviceSession& device_;
    k57::GuardedChange* guarded_ = nullptr;
    k57::EditSession session_;
    bool validating_ = false;

    QTreeWidget* Tree;
    std::vector<QTreeWidgetItem*> nodes_;  // by parameter index; null outside every group
    QWidget* Panel1;
    QGroupBox* GroupBox1;
    QLineEdit* ValueEdit;
    QComboBox* EnumValue;
    QLabel* SmsLabel;
    QLabel* DescriptionLabel;
    QLabel* SavedLabel;  // where the last save went, until the values change
    bool writing_ = false;  // a write is on its way: no second one meanwhile
};
