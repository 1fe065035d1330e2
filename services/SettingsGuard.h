#pragma once

#include <optional>
#include <string>
#include <vector>

#include "JournalEntry.h"
#include "SettingsDiff.h"
#include "UpdateSteps.h"
#include "WriteCheck.h"

class DeviceInterface;
class ParameterList;

namespace k57 {

class ServiceRecord;

// A change to a unit's settings or firmware, guarded and journaled, for the
// window and k57ctl alike: the unit's settings are read and kept as a
// backup first; the change is recorded with the settings before and after;
// after a firmware update the settings are read again and compared with
// the backup, which can be written back. Every settings write is read back
// and judged: the journal and the caller learn whether the unit took it.
//
// The calls named "on the device's thread" talk to the unit; the others
// record and run where the journal is used. Call them in this order:
// ReadBackup, KeepBackup (then the change itself: WriteSettings and
// Written, or an update and Changed); and after a firmware update
// ReadAgain, Differences, and Restore with Restored.
class SettingsGuard {
  public:
    // `change`: what is guarded (write settings, firmware or sound update,
    // restore).
    SettingsGuard(ServiceRecord& record, JournalOperation change);

    // On the device's thread: who the unit is, then its settings.
    int ReadBackup(DeviceInterface& device);
    // The backup's entry. False when there is no backup: the settings could
    // not be read (even from a unit that did not answer at all: it may have
    // been merely slow), or the journal did not take them. The caller then
    // asks whether to go on without one (window) or refuses unless told not
    // to back up (k57ctl).
    bool KeepBackup();
    // The port could not be opened for the backup: the change cannot reach
    // the unit either, and fails with its own message, unasked.
    bool portUnavailable() const { return backupResult_ == kPortUnavailable; }
    const std::optional<std::string>& backup() const { return backup_; }
    // The backup's journal entry; 0 when the journal did not take it.
    long long backupEntry() const { return backupEntry_; }
    // The change's own entry, once recorded; 0 when the journal did not
    // take it.
    long long changeEntry() const { return changeEntry_; }
    // Whether the unit the backup was read from is the one `serial` names
    // (an entry's unit; nothing: of no known unit, which fits any).
    bool SameUnit(std::optional<uint32_t> serial) const;
    // The serial number of the unit the backup was read from, if known.
    std::optional<uint32_t> unitSerial() const;
    // The result of the last request to read the settings.
    int readResult() const { return backupResult_; }

    // The change's own entry, with the backup as the settings before.
    // `after`: the settings text written, when the change wrote one.
    void Changed(int result, const std::string& detail = {},
                 const std::optional<std::string>& after = std::nullopt);
    void Changed(JournalResult result, const std::string& detail = {},
                 const std::optional<std::string>& after = std::nullopt);
    // An update's entry: how it ended and how far it got, then `source`
    // (where the image came from: a package's hash, version and key), then
    // the firmware version it sent.
    void Changed(const UpdateSteps& update, const std::string& source = {});

    // On the device's thread: `text` written and read back; `written` told
    // between the two.
    int WriteSettings(DeviceInterface& device, const std::string& text,
                      const std::function<void()>& written = nullptr);
    // The write's entry, with the backup as the settings before, the text
    // written as after, and its verdict after `detail`; the verdict.
    WriteCheck Written(const ParameterList& catalogue, const std::string& detail = {});

    // On the device's thread, after a firmware update: the unit restarted
    // into the new firmware, so who it is and its settings are read anew.
    int ReadAgain(DeviceInterface& device);
    // Journals the reading; the parameters whose values are not what the
    // backup holds. Nothing when there is no backup or the reading failed.
    std::vector<SettingDifference> Differences(const ParameterList& catalogue);

    // The journal entry whose settings a restore writes: its entry names
    // it (EntryDetail.h).
    void RestoresEntry(long long id) { source_ = id; }

    // On the device's thread: the backup written back and read back.
    int Restore(DeviceInterface& device);
    // The restore's entry: the settings read after the update before, the
    // backup (its entry the source) after; the verdict.
    WriteCheck Restored(const ParameterList& catalogue);

  private:
    // `detail` after the restore's source, when there is one.
    std::string Sourced(const std::string& detail) const;

    ServiceRecord& record_;
    JournalOperation change_;
    std::string port_;
    int backupResult_ = kReplyOk;
    std::optional<std::string> backup_;
    long long backupEntry_ = 0;
    long long changeEntry_ = 0;
    long long source_ = 0;  // the entry a restore writes back
    int againResult_ = kReplyOk;
    std::optional<std::string> again_;
    WriteAttempt write_;
};

// The settings of a journal entry to write back to a unit: the settings it
// left (after), or else those it kept (before); nothing when it holds none.
std::optional<std::string> SnapshotOf(const JournalEntry& entry);

}  // namespace k57
