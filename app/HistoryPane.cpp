#include "HistoryPane.h"

#include <QCoreApplication>
#include <QPlainTextEdit>

#include "EntryDetail.h"
#include "SettingsGuard.h"
#include "UnitText.h"

namespace {

// What a unit's settings were before it matters to: the writes.
bool Writes(const k57::JournalEntry& entry) {
    return entry.operation == k57::JournalOperation::WriteSettings ||
           entry.operation == k57::JournalOperation::Restore;
}

}  // namespace

void HistoryPane::ShowEntry(const std::vector<k57::JournalEntry>& timeline, size_t index) {
    Clear();
    entry_ = timeline[index];
    if (const k57::JournalEntry* before = k57::HistoryBrowser::SettingsBefore(timeline, index)) {
        before_ = *before;
    }
    source_ = browser_.RestoreSource(*entry_);
    Retell();
}

void HistoryPane::ShowComparison(const k57::JournalEntry& entry, const std::string& other) {
    Clear();
    entry_ = entry;
    other_ = other;
    Retell();
}

void HistoryPane::Clear() {
    entry_.reset();
    before_.reset();
    source_.reset();
    other_.reset();
    view_.clear();
}

void HistoryPane::Retell() {
    if (!entry_) {
        view_.clear();
        return;
    }
    if (other_) {
        view_.setPlainText(Differences(*entry_, *other_));
        return;
    }
    QStringList parts = Facts(*entry_);
    std::optional<std::string> written = k57::SnapshotOf(*entry_);
    if (Writes(*entry_) && before_ && written) {
        parts << QCoreApplication::translate("THistoryForm",
                                             "Изменения относительно настроек от %1:")
                         .arg(time_(before_->timeMs)) +
                     "\n" + Differences(*before_, *written);
        parts << QCoreApplication::translate("THistoryForm", "Записанные настройки:") + "\n" +
                     Settings(*entry_);
    } else if (!entry_->after && entry_->before &&
               entry_->operation != k57::JournalOperation::Backup) {
        // An update's or a restart's own settings are the backup kept before
        // it: bare, the defaults of a unit never set up read as a reset.
        parts << QCoreApplication::translate("THistoryForm",
                                             "Настройки перед операцией (резервная копия):") +
                     "\n" + Settings(*entry_);
    } else {
        parts << Settings(*entry_);
    }
    view_.setPlainText(parts.join("\n\n"));
}

QString HistoryPane::Settings(const k57::JournalEntry& entry) const {
    std::optional<std::string> text = browser_.ShownSettings(entry);
    if (!text) {
        return QCoreApplication::translate("THistoryForm", "(настроек в записи нет)");
    }
    if (k57::HistoryBrowser::SetsNothing(*text)) {
        return QCoreApplication::translate("THistoryForm", "(все значения по умолчанию)");
    }
    return k57::FromUnit(*text);
}

QString HistoryPane::Differences(const k57::JournalEntry& from, const std::string& to) const {
    QStringList lines;
    for (const k57::SettingDifference& d : browser_.Compare(from, to)) {
        lines << k57::FromUnit(d.name) + " (" + k57::FromUnit(d.key) +
                     "): " + k57::FromUnit(d.before) + " -> " + k57::FromUnit(d.after);
    }
    return lines.isEmpty() ? QCoreApplication::translate("THistoryForm", "Различий нет.")
                           : lines.join('\n');
}

QStringList HistoryPane::Facts(const k57::JournalEntry& entry) const {
    QStringList facts;
    if (std::optional<std::string> target = k57::TargetVersion(entry)) {
        QString version = QString::fromStdString(*target);
        facts << (entry.firmware.empty()
                      ? QCoreApplication::translate("THistoryForm", "Обновление до версии %1.")
                            .arg(version)
                      : QCoreApplication::translate("THistoryForm",
                                                    "Обновление до версии %1 (в устройстве "
                                                    "была %2).")
                            .arg(version, k57::FromUnit(entry.firmware)));
    }
    if (std::optional<long long> id = k57::RestoredFrom(entry)) {
        QString number = QString::number(*id);
        if (source_) {
            facts << QCoreApplication::translate("THistoryForm", "Восстановлено из записи %1 (%2).")
                         .arg(number, time_(source_->timeMs));
        } else if (entry.pulled) {
            // The number is of the other PC's journal.
            facts << QCoreApplication::translate("THistoryForm",
                                                 "Восстановлено из записи %1 журнала ПК %2.")
                         .arg(number, QString::fromStdString(entry.pc));
        } else {
            facts << QCoreApplication::translate("THistoryForm", "Восстановлено из записи %1.")
                         .arg(number);
        }
    }
    return facts;
}
