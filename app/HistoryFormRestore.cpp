// The journal window's restore: an entry's settings written back to the
// unit it is of, its entry naming the entry written back.

#include <QCoreApplication>

#include "HistoryForm.h"
#include "UnitText.h"
#include "WindowTexts.h"

// The unit on the port says who it is before anything is read from it or
// recorded: another unit than the entry's is refused. (The window lists
// only the entries of known units.)
void THistoryForm::WriteButtonClick() {
    std::vector<k57::JournalEntry> selected = Selected();
    if (selected.empty() || busy_) {
        return;
    }
    const k57::JournalEntry& entry = selected.front();
    std::optional<std::string> snapshot = k57::SnapshotOf(entry);
    if (!snapshot) {
        dialogs_.message(this, tr("Внимание"), tr("В этой записи нет настроек."), k57::Buttons::Ok);
        return;
    }
    if (dialogs_.message(this, tr("Внимание"),
                         tr("Записать в устройство настройки от %1?").arg(TimeOf(entry.timeMs)),
                         k57::Buttons::OkCancel, k57::Answer::Cancel) != k57::Answer::Ok) {
        return;
    }
    busy_ = true;
    auto unit = std::make_shared<std::optional<uint32_t>>();
    k57::ServiceRecord* record = &guarded_.record();
    guarded_.device().Submit(
        this,
        [record, unit](DeviceInterface& device) {
            *unit = record->Identify(device, true).serial;
            return *unit ? k57::kReplyOk : device.LastFailure().result;
        },
        [this, unit, entry, text = *snapshot](int) { WriteTo(entry, text, *unit); });
}

void THistoryForm::WriteTo(const k57::JournalEntry& entry, const std::string& text,
                           std::optional<uint32_t> unit) {
    auto stop = [this](const QString& caption, const QString& message) {
        busy_ = false;
        dialogs_.message(this, caption, message, k57::Buttons::Ok);
    };
    if (!unit) {
        stop(tr("Ошибка"), k57::NotConnected());
        return;
    }
    if (entry.serial && *entry.serial != *unit) {
        stop(tr("Ошибка"), QCoreApplication::translate(
                               "GuardedChange",
                               "Настройки относятся к устройству %1, а подключено %2. Ничего "
                               "не записано.")
                               .arg(QString::number(*entry.serial), QString::number(*unit)));
        return;
    }
    k57::GuardedChange::Guard guard = guarded_.MakeGuard(k57::JournalOperation::Restore);
    guard->RestoresEntry(entry.id);
    guarded_.Write(
        this, guard, catalogue_, text,
        [this](const k57::WriteCheck& check) {
            busy_ = false;
            k57::GuardedChange::TellWritten(dialogs_, this, check, catalogue_);
            UnitListChange();
        },
        [this] { busy_ = false; }, unit);
}
