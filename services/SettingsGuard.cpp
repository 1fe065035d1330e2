#include "SettingsGuard.h"

#include "Cp1251.h"
#include "DeviceInterface.h"
#include "EntryDetail.h"
#include "ServiceRecord.h"

namespace k57 {

SettingsGuard::SettingsGuard(ServiceRecord& record, JournalOperation change)
    : record_(record), change_(change) {}

int SettingsGuard::ReadBackup(DeviceInterface& device) {
    port_ = device.PortName();
    backup_.reset();
    // Asked afresh: another unit may have been plugged into the port since
    // it was last asked, and the backup must be filed under the right one.
    if (!record_.Identify(device, true).serial) {
        int failed = device.LastFailure().result;
        return backupResult_ = failed != kReplyOk ? failed : kNoReply;
    }
    std::string text;
    backupResult_ = device.ReadSettings(text);
    if (backupResult_ == kReplyOk) {
        backup_ = std::move(text);
    }
    return backupResult_;
}

bool SettingsGuard::KeepBackup() {
    backupEntry_ = record_.Record(JournalOperation::Backup, port_, JournalResultFor(backupResult_),
                                  std::string("before ") + JournalText(change_), backup_);
    return backup_ && backupEntry_ != 0;
}

std::optional<uint32_t> SettingsGuard::unitSerial() const {
    return record_.Known(port_).serial;
}

bool SettingsGuard::SameUnit(std::optional<uint32_t> serial) const {
    return !serial || unitSerial() == serial;
}

void SettingsGuard::Changed(int result, const std::string& detail,
                            const std::optional<std::string>& after) {
    Changed(JournalResultFor(result), detail, after);
}

void SettingsGuard::Changed(JournalResult result, const std::string& detail,
                            const std::optional<std::string>& after) {
    changeEntry_ = record_.Record(change_, port_, result, detail, backup_, after);
}

void SettingsGuard::Changed(const UpdateSteps& update, const std::string& source) {
    JournalResult result;
    switch (update.outcome()) {
        case UpdateOutcome::Done:
            result = JournalResult::Ok;
            break;
        case UpdateOutcome::CommitRefused:
            result = JournalResult::Refused;
            break;
        case UpdateOutcome::Stopped:
        case UpdateOutcome::Declined:
            result = JournalResult::Stopped;
            break;
        case UpdateOutcome::VersionUnreadable:
            result = JournalResult::BadReply;
            break;
        case UpdateOutcome::ImageInvalid:
        case UpdateOutcome::PackageRefused:
            result = JournalResult::NotSent;
            break;
        default:
            result = JournalResultFor(update.lastResult());
            break;
    }
    const UpdateProgress& sent = update.progress();
    std::string target = update.targetVersion();
    Changed(result, std::to_string(sent.fragmentsSent) + " of " + std::to_string(sent.fragments) +
                        " fragments sent" + (source.empty() ? "" : "; " + source) +
                        (target.empty() ? "" : "; " + TargetVersionDetail(cp1251::ToUtf8(target))));
}

int SettingsGuard::WriteSettings(DeviceInterface& device, const std::string& text,
                                 const std::function<void()>& written) {
    write_ = WriteAndReadBack(device, text, written);
    return write_.writeResult;
}

WriteCheck SettingsGuard::Written(const ParameterList& catalogue, const std::string& detail) {
    WriteCheck check = Judge(catalogue, write_);
    std::string told = Sourced(detail);
    std::string verdict = JournalDetail(check);
    Changed(JournalResultOf(check), told.empty() ? verdict : told + "; " + verdict, write_.written);
    return check;
}

int SettingsGuard::ReadAgain(DeviceInterface& device) {
    again_.reset();
    record_.Forget(port_);
    record_.Identify(device);
    std::string text;
    againResult_ = device.ReadSettings(text);
    if (againResult_ == kReplyOk) {
        again_ = std::move(text);
    }
    return againResult_;
}

std::vector<SettingDifference> SettingsGuard::Differences(const ParameterList& catalogue) {
    record_.Record(JournalOperation::ReadSettings, port_, JournalResultFor(againResult_),
                   std::string("after ") + JournalText(change_), std::nullopt, again_);
    if (!backup_ || !again_) {
        return {};
    }
    return DiffSettings(catalogue, *backup_, *again_);
}

int SettingsGuard::Restore(DeviceInterface& device) {
    if (backup_) {
        return WriteSettings(device, *backup_);
    }
    // Without a backup there is nothing to write: "not sent".
    write_ = WriteAttempt{};
    write_.writeResult = write_.readResult = kCannotFrame;
    return kCannotFrame;
}

WriteCheck SettingsGuard::Restored(const ParameterList& catalogue) {
    WriteCheck check = Judge(catalogue, write_);
    source_ = backupEntry_;
    record_.Record(JournalOperation::Restore, port_, JournalResultOf(check),
                   Sourced(std::string("backup written back after ") + JournalText(change_)) +
                       "; " + JournalDetail(check),
                   again_, backup_);
    return check;
}

std::string SettingsGuard::Sourced(const std::string& detail) const {
    if (source_ == 0) {
        return detail;
    }
    std::string source = RestoreSourceDetail(source_);
    return detail.empty() ? source : source + "; " + detail;
}

std::optional<std::string> SnapshotOf(const JournalEntry& entry) {
    return entry.after ? entry.after : entry.before;
}

}  // namespace k57
