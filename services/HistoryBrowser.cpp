#include "HistoryBrowser.h"

#include <algorithm>

#include "SettingsFile.h"
#include "SettingsGuard.h"
#include "SettingsMask.h"

namespace k57 {

std::vector<JournalEntry> HistoryBrowser::Timeline(uint32_t serial) {
    std::vector<JournalEntry> entries = journal_.Timeline(serial);
    std::reverse(entries.begin(), entries.end());
    return entries;
}

std::optional<std::string> HistoryBrowser::ShownSettings(const JournalEntry& entry) const {
    std::optional<std::string> text = SnapshotOf(entry);
    if (text && !reveal_) {
        text = MaskSettings(*text);
    }
    return text;
}

std::vector<SettingDifference> HistoryBrowser::Compare(const JournalEntry& entry,
                                                       const std::string& other) const {
    std::vector<SettingDifference> differences =
        DiffSettings(catalogue_, SnapshotOf(entry).value_or(std::string()), other);
    if (!reveal_) {
        MaskDifferences(differences);
    }
    return differences;
}

bool HistoryBrowser::SaveSettings(const JournalEntry& entry, const std::string& path,
                                  std::string& error) const {
    std::optional<std::string> text = SnapshotOf(entry);
    if (!text) {
        error = "the entry holds no settings";
        return false;
    }
    return SettingsFile::Write(path, *text, error);
}

}  // namespace k57
