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
class QSplitter;
class QTreeWidget;
class HistoryPane;
class ParameterList;
class TSharingBar;

namespace k57 {
class JournalSharing;
}

// "Журнал обслуживания": the units in the service journal, filtered as a
// serial number is typed; a unit's timeline; an entry's settings (PIN and
// phone numbers masked unless asked) as HistoryPane tells them, compared
// with another entry or with the unit, saved to a file or written back
// (HistoryFormRestore.cpp); the journal as CSV. What it shows comes from a
// HistoryBrowser; the unit is reached through the main window's guarded
// change. Entries that k57ctl or another window records show while it is
// open: the journal's newest entry is looked at every two seconds.
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
    // entries selected kept, and what the pane shows of them.
    void Reload();
    // Reloads when another connection recorded since the last look.
    void WatchJournal();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void Build();
    // An entry's time as the window shows it.
    static QString TimeOf(long long ms);
    // The chosen unit's entries into the timeline.
    void FillTimeline();
    // The splitter's divider set for the unit list's longest line.
    void FitUnitList();
    // The rows of timeline_ selected, in the timeline's order.
    std::vector<size_t> SelectedRows() const;
    std::vector<k57::JournalEntry> Selected() const;
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
    std::unique_ptr<HistoryPane> pane_;
    long long latestId_ = -1;  // the newest entry when last loaded
    bool busy_ = false;        // the unit is being asked
    bool listFitted_ = false;

    QLineEdit* SerialEdit;
    QListWidget* UnitList;
    QSplitter* splitter_ = nullptr;
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
