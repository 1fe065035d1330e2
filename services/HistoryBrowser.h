#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Journal.h"
#include "SettingsDiff.h"

class ParameterList;

namespace k57 {

// What the history window shows, without the window: the units as a serial
// number is typed, a unit's timeline, an entry's settings (PIN and phone
// numbers masked unless revealed), comparisons, and the files it writes.
// Texts from the unit stay Windows-1251 bytes.
class HistoryBrowser {
  public:
    // Both borrowed.
    HistoryBrowser(Journal& journal, const ParameterList& catalogue)
        : journal_(journal), catalogue_(catalogue) {}

    bool reveal() const { return reveal_; }
    // Whether the last read failed (its result is no view of the journal),
    // and the journal's problem not handed over yet.
    bool readFailed() const { return journal_.lastCallFailed(); }
    std::string TakeProblem() { return journal_.TakeProblem(); }
    void SetReveal(bool reveal) { reveal_ = reveal; }

    // The units whose serial numbers contain the typed digits.
    std::vector<UnitSummary> Units(const std::string& typed) { return journal_.Units(typed); }
    // A unit's entries, newest first.
    std::vector<JournalEntry> Timeline(uint32_t serial);
    std::optional<JournalEntry> Entry(long long id) { return journal_.Entry(id); }
    // The newest entry's id (-1 unread): it changes when anyone records.
    long long LatestId() { return journal_.LatestId(); }

    // What a unit's settings were before the entry at `index` of its
    // timeline (newest first): the nearest older entry that succeeded and
    // holds settings. Null when there is none.
    static const JournalEntry* SettingsBefore(const std::vector<JournalEntry>& timeline,
                                              size_t index);
    // The entry a restore wrote back, when its entry names it and that
    // entry is in this journal: a restore made at another PC names an
    // entry of that PC's journal, which is not found here.
    std::optional<JournalEntry> RestoreSource(const JournalEntry& restore);
    // A settings text that sets nothing: every value at its default, as a
    // unit reads after a reset.
    static bool SetsNothing(const std::string& text);

    // The settings the entry holds as shown: the snapshot (after, or else
    // before), masked unless revealed. Nothing when it holds none.
    std::optional<std::string> ShownSettings(const JournalEntry& entry) const;
    // The differences from the entry's snapshot to `other` (another entry's
    // snapshot, or the unit's settings now), masked unless revealed.
    std::vector<SettingDifference> Compare(const JournalEntry& entry,
                                           const std::string& other) const;
    // The snapshot as a settings file, unmasked: it is there to be loaded
    // and written back. False with `error` when it cannot be.
    bool SaveSettings(const JournalEntry& entry, const std::string& path, std::string& error) const;
    // The whole journal as CSV, masked unless revealed.
    bool ExportCsv(const std::string& path, std::string& error) {
        return journal_.ExportCsv(path, reveal_, error);
    }

  private:
    Journal& journal_;
    const ParameterList& catalogue_;
    bool reveal_ = false;
};

}  // namespace k57
