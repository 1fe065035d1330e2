#pragma once

#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "HistoryBrowser.h"

class QPlainTextEdit;

// The pane under the journal window's timeline: what the chosen entry
// holds, told as a technician reads it, or a comparison of two settings.
// A write says what it changed against the unit's settings before it, an
// update the version it went to, a restore the entry it wrote back, and a
// text that sets nothing that every value is at its default. What it shows
// is kept, so that revealing the PIN or reloading the journal tells the
// same again rather than losing it.
class HistoryPane {
  public:
    // An entry's time as the window shows it.
    using TimeText = QString (*)(long long ms);

    // All borrowed.
    HistoryPane(k57::HistoryBrowser& browser, QPlainTextEdit& view, TimeText time)
        : browser_(browser), view_(view), time_(time) {}

    // The entry at `index` of a unit's timeline (newest first).
    void ShowEntry(const std::vector<k57::JournalEntry>& timeline, size_t index);
    // The differences from `entry`'s settings to `other` (another entry's
    // or the unit's), until another entry is chosen.
    void ShowComparison(const k57::JournalEntry& entry, const std::string& other);
    void Clear();
    // Told again, masked as the browser masks now.
    void Retell();

  private:
    // The entry's settings, or what stands for them.
    QString Settings(const k57::JournalEntry& entry) const;
    QString Differences(const k57::JournalEntry& from, const std::string& to) const;
    // The facts its detail carries: an update's version, a restore's source.
    QStringList Facts(const k57::JournalEntry& entry) const;

    k57::HistoryBrowser& browser_;
    QPlainTextEdit& view_;
    TimeText time_;
    std::optional<k57::JournalEntry> entry_;
    std::optional<k57::JournalEntry> before_;  // a write's: the unit's settings before it
    std::optional<k57::JournalEntry> source_;  // a restore's, when this journal has it
    std::optional<std::string> other_;         // a comparison's other settings
};
