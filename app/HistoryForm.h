#pragma once

#include <QDialog>
#include <memory>
#include <optional>

#include "DialogService.h"
#include "GuardedChange.h"
#include "HistoryBrowser.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class ParameterList;
class TSharingBar;

namespace k57 {
class JournalSharing;
}

// "Журнал обслуживания": the units in the service journal, filtered as a
// serial number is typed; a unit's timeline; an entry's settings (PIN and
// phone numbers masked unless asked), compared with another entry or with
// the unit, saved to a file or written back; the journal as CSV. What it
// shows comes from a HistoryBrowser; the unit is reached through the main
// window's guarded change.
class THistoryForm : public QDialog {
    Q_OBJECT

  public:
    THistoryForm(k57::GuardedChange& guarded, k57::DialogService& dialogs,
                 const ParameterList& catalogue, QWidget* parent = nullptr,
                 k57::JournalSharing* sharing = nullptr);
    ~THistoryForm() override;

    k57::HistoryBrowser& browser() { return *browser_; }
    QString shownText() const;
    // "ПК: …, пользователь: …" of the entry shown.
    QString entryText() const;
    TSharingBar* sharingBar() const { return sharingBar_; }

  public slots:
    void SerialEditChange();
    void UnitListChange();
    void TimelineChange();
    void RevealBoxClick();
    void CompareButtonClick();
    void CompareUnitButtonClick();
    void SaveButtonClick();
    void WriteButtonClick();
    void ExportButtonClick();
    // Entries came down: the units and the timeline again, the unit and the
    // entries selected kept.
    void Reload();

  private:
    void Build();
    // The entries selected in the timeline, in the timeline's order.
    std::vector<k57::JournalEntry> Selected() const;
    void ShowDifferences(const std::vector<k57::SettingDifference>& differences);
    // A read that failed (a damaged journal set aside) is said once: what
    // the window shows then is not the history.
    void TellReadProblem();
    // The restore's write, once the unit on the port said who it is.
    void WriteTo(const k57::JournalEntry& entry, const std::string& text,
                 std::optional<uint32_t> unit);

    k57::GuardedChange& guarded_;
    k57::DialogService& dialogs_;
    const ParameterList& catalogue_;  // judges a snapshot written back
    std::unique_ptr<k57::HistoryBrowser> browser_;
    std::vector<k57::JournalEntry> timeline_;
    bool busy_ = false;  // the unit is being asked

    QLineEdit* SerialEdit;
    QListWidget* UnitList;
    TSharingBar* sharingBar_ = nullptr;
    QTreeWidget* Timeline;
    QLabel* EntryLabel;
    QCheckBox* RevealBox;
    QPlainTextEdit* SettingsView;
    QPushButton* CompareButton;
    QPushButton* CompareUnitButton;
    QPushButton* SaveButton;
    QPushButton* WriteButton;
    QPushButton* ExportButton;
};
