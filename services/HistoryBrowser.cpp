#include "HistoryBrowser.h"

#include <algorithm>

#include "EntryDetail.h"
#include "SettingsFile.h"
#include "SettingsGuard.h"
#include "SettingsMask.h"

namespace k57 {

std::vector<JournalEntry> HistoryBrowser::Timeline(uint32_t serial) {
    std::vector<JournalEntry> entries = journal_.Timeline(serial);
    std::reverse(entries.begin(), entries.end());
    return entries;
}

const JournalEntry* HistoryBrowser::SettingsBefore(const std::vector<JournalEntry>& timeline,
                                                   size_t index) {
    for (size_t i = index + 1; i < timeline.size(); ++i) {
        if (timeline[i].result == JournalResult::Ok && SnapshotOf(timeline[i])) {
            return &timeline[i];
        }
    }
    return nullptr;
}

std::optional<JournalEntry> HistoryBrowser::RestoreSource(const JournalEntry& restore) {
    std::optional<long long> id = RestoredFrom(restore);
    if (!id || restore.pulled) {
        return std::nullopt;
    }
    std::optional<JournalEntry> source = journal_.Entry(*id);
    if (!source || source->serial != restore.serial) {
        return std::nullopt;
    }
    return source;
}

bool HistoryBrowser::SetsNothing(const std::string& text) {
    return text.find_first_not_of(" \t\r\n") == std::string::npos;
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
