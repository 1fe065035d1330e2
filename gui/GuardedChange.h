#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "DeviceSession.h"
#include "DialogService.h"
#include "ServiceRecord.h"
#include "SettingsGuard.h"

class ParameterList;
class QWidget;

namespace k57 {

// The windows' side of a guarded change (SettingsGuard): the requests go to
// the session's worker, the journal is written on the GUI thread, and the
// questions go through the dialog service. A backup that cannot be read or
// kept is a question, "No" by default; a journal that cannot be written is
// told once in a box. Every settings write is read back and judged.
class GuardedChange {
  public:
    using Guard = std::shared_ptr<SettingsGuard>;
    using Log = std::function<void(const QString& line)>;

    GuardedChange(DeviceSession& device, ServiceRecord& record, DialogService& dialogs)
        : device_(device), record_(record), dialogs_(dialogs) {}

    ServiceRecord& record() { return record_; }
    DeviceSession& device() { return device_; }
    Guard MakeGuard(JournalOperation change) {
        return std::make_shared<SettingsGuard>(record_, change);
    }

    // Reads and keeps the backup; then `go`, unless there is no backup and
    // the user would not go on without it (then `stopped`).
    void Backup(QWidget* owner, Guard guard, std::function<void()> go,
                std::function<void()> stopped = {});
    // The backup, then `text` written and read back; `done` gets the
    // verdict, judged through `catalogue`, once it is journaled. `expected`:
    // the unit the text is for, when it must be that one (a snapshot of the
    // journal). `catalogue` must outlive the write.
    void Write(QWidget* owner, Guard guard, const ParameterList& catalogue, const std::string& text,
               std::function<void(const WriteCheck&)> done, std::function<void()> stopped = {},
               std::optional<uint32_t> expected = std::nullopt);
    // The verdict in a box: confirmed, the parameters the unit did not
    // take, or that whether it took them is unknown.
    static void TellWritten(DialogService& dialogs, QWidget* owner, const WriteCheck& check,
                            const ParameterList& catalogue);
    // After a firmware update that the unit took, once it has had time to
    // restart: its settings read again and compared with the backup; when
    // they differ, the differences logged and shown and "Восстановить
    // настройки?" asked; yes writes the backup back.
    void RestoreAfterUpdate(QWidget* owner, Guard guard, const ParameterList& catalogue, Log log);
    // A request whose operation is journaled; who the unit is is asked
    // after a success, on the worker. `after`: the settings text it read.
    void Recorded(QWidget* owner, JournalOperation operation, DeviceSession::Request request,
                  DeviceSession::Done done, std::shared_ptr<std::string> after = nullptr);
    // The journal's problem not told yet, in a box.
    void Tell(QWidget* owner);

    // Where a write's lost line is told, beside the verdict's box (the main
    // window's log); the box keeps its words.
    void SetLog(Log log) { log_ = std::move(log); }

    // How long a unit takes to restart into new firmware.
    static constexpr int kRestartMs = 2000;

  private:
    // Whether to go on without the backup the guard could not keep.
    bool WithoutBackup(QWidget* owner, const SettingsGuard& guard);
    QString ReadProblem(int result) const;
    // The verdict's words; empty for a confirmed write.
    static QString NotConfirmed(const WriteCheck& check, const ParameterList& catalogue);
    void CompareAfterUpdate(QWidget* owner, Guard guard, const ParameterList& catalogue, Log log);

    DeviceSession& device_;
    ServiceRecord& record_;
    DialogService& dialogs_;
    Log log_;
};

}  // namespace k57
