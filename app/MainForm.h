#pragma once

#include <QTimer>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include "DeviceSession.h"
#include "DialogService.h"
#include "EmbeddedImages.h"
#include "FirmwareUpdate.h"
#include "GuardedChange.h"
#include "InterfaceLanguage.h"
#include "JournalSharing.h"
#include "PackageFirmwareUpdate.h"
#include "ParameterList.h"
#include "ServiceRecord.h"
#include "SettingsVerdict.h"
#include "SoundUpdate.h"
#include "SupportReport.h"
#include "UpdateRun.h"

class QAction;
class QLabel;
class QMenu;
class QTemporaryFile;

namespace k57 {
struct FoundUnit;
}

class TCanMonitorForm;
class TDiagnosticForm;
class TParametersEditForm;
class TTraceForm;
class TBatchStationForm;

namespace Ui {
class TMainForm;
}

// The main window: the port, the update buttons, the settings and
// information commands, and the log.
class TMainForm : public QWidget {
    Q_OBJECT

  public:
    // `sessions` makes the device session on the stored port.
    explicit TMainForm(k57::DialogService& dialogs,
                       k57::SessionFactory sessions = k57::MakeUnitSession,
                       QWidget* parent = nullptr);
    ~TMainForm() override;

    k57::DeviceSession& Device() { return device_; }
    ParameterList& parameterList() { return parameterList_; }
    const VersionInfo& imageInfo() const { return firmware_.info; }
    // Appends one line to the log.
    void Log(const QString& line);
    // The windows this one opens; they are made after it.
    // The editor writes through this window's guarded change.
    void SetEditor(TParametersEditForm* editor);
    k57::GuardedChange& guardedChange() { return guarded_; }
    void SetMonitors(TDiagnosticForm* diagnostic, TCanMonitorForm* can) {
        diagnostic_ = diagnostic;
        canMonitor_ = can;
    }
    // An update is under way; other device commands wait for it.
    bool transferRunning() const { return update_.running(); }
    // A request is running or an update is under way: no monitor opens.
    bool busyWithUnit() const { return transferRunning() || device_.running(); }

  public slots:
    void PortComboBoxChange(const QString& text);
    void FindPortButtonClick();
    void ReadButtonClick();
    void OpenFileButtonClick();
    void GetSerialButtonClick();
    void GetVersionButtonClick();
    void BlowUpdateButtonClick();
    void WaveUpdateButtonClick();
    // "Обновить из файла…" (the log's menu and the update buttons'): a
    // signed package verified, shown and asked about, then the update with
    // its backup (MainFormPackages.cpp).
    void PackageUpdateClick();
    void Memo1DblClick();
    void GroupBox1DblClick();
    // The log's context menu: "Сохранить журнал…" (UTF-8 text, each line
    // after the time it was written).
    void SaveLog();
    // The log's context menu: "Журнал обслуживания…", the history window.
    void ShowHistory();
    // The log's context menu: "Партия…", the batch station window, made
    // when first asked for and kept: a run goes on while it is hidden.
    void ShowStation();
    // The link's trace window (also Ctrl+Shift+T).
    void ShowTrace();
    // The log's context menu: "Сохранить отчёт для поддержки…", one text
    // file with what support needs (SupportReport.h).
    void SaveSupportReport();
    // The log's context menu: "Язык (Language)": as the system's, Russian or
    // English, remembered for the next start; nothing chosen follows the
    // system.
    void ChooseLanguage(std::optional<k57::Language> language);
    // The unit as last read: by the port search, "серийный номер", "версия".
    const k57::ReportedUnit& unitIdentity() const { return unit_; }
    // The journal shared through the workshop's server, if one is set.
    k57::JournalSharing& journalSharing() { return sharing_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // The journal's entries go to the workshop's server as they are made;
    // a line above the log says while some wait (MainFormJournal.cpp).
    void ShareJournal();
    void ShowSharing(const k57::SharingState& state);
    void AddLanguageMenu(QMenu& menu);
    void FillPortList(const QString& stored);
    void SelectPort(const QString& port);
    QString StoredPortOrDefault();
    void Inform(const QString& caption, const QString& text);
    // A failure: the same box with the warning sign.
    void Warn(const QString& caption, const QString& text);
    void ShowEditor();
    void ShowFoundUnit(const k57::FoundUnit& unit);
    void ListSettingsProblems(const QString& intro, const k57::SettingsVerdict& verdict);
    // The device commands are off while a request or an update runs.
    void UpdateDeviceCommands();
    void RequestsIdle();
    void LogFailure();
    // Submits one request to the worker thread, its operation journaled;
    // `done` gets its result on the GUI thread, after a failure's log line.
    // `after`: the settings text it read.
    void RecordedRequest(k57::JournalOperation operation, k57::DeviceSession::Request request,
                         std::function<void(int result)> done,
                         std::shared_ptr<std::string> after = nullptr);
    // The backup, then the update.
    void StartUpdate(k57::JournalOperation operation, std::function<void()> go,
                     std::function<void()> stopped = {});
    QString PortText() const;
    void ShowWait(const QString& port, int seconds);
    void Memo1ContextMenu(const QPoint& at);
    // The log's lines, each after the time it was written.
    QStringList LogLines() const;
    void WriteTextFile(const QString& path, const QByteArray& text);
    void UpdateStepped(k57::UpdateSteps::Stage before, k57::UpdateSteps::Stage now);
    void ShowProgress(const k57::UpdateProgress& progress);
    void UpdateFinished(k57::UpdateSteps* update);
    void RestoreWaveCaption();
    // The sound's backup, then the transfer of `update`.
    void StartSound(k57::SoundUpdate& update);
    // The update under way or just ended is a sound one.
    bool SoundRunning() const;
    // A package turned away: the log and a box say why.
    void TellRefusal(const k57::PackageCheck& check, const QString& unitVersion = {});
    // What the journal keeps of an update's source: a package's hash,
    // version and key, or its refusal.
    std::string UpdateSource(const k57::UpdateSteps* update) const;

    std::unique_ptr<Ui::TMainForm> ui;
    k57::DialogService& dialogs_;
    k57::DialogNotifier notifier_;
    // Before the record, which tells it of each entry.
    k57::JournalSharing sharing_{k57::Journal::DefaultPath()};
    // Before the session: its worker's requests use it until they end.
    k57::ServiceRecord record_{k57::JournalFrontEnd::Window};
    QLabel* journalLine_ = nullptr;
    k57::DeviceSession device_;
    k57::GuardedChange guarded_{device_, record_, dialogs_};
    // The backup of the update under way.
    k57::GuardedChange::Guard updateGuard_;
    k57::images::Firmware firmware_;
    int32_t soundDataSize_ = 0;
    k57::FirmwareUpdate firmwareUpdate_{firmware_};
    k57::SoundUpdate soundUpdate_;
    // The last package chosen, kept while its update runs: the firmware with
    // its check, or the verified sound image put aside in a file of its own.
    std::unique_ptr<k57::PackageFirmwareUpdate> packageFirmware_;
    std::unique_ptr<QTemporaryFile> packageSoundFile_;
    std::unique_ptr<k57::SoundUpdate> packageSound_;
    std::string packageSoundDetail_;
    QString packageName_;  // the chosen package's file name
    QAction* packageAction_ = nullptr;
    // Runs the update under way, if any; its stage is read between steps.
    k57::UpdateRun update_{device_};
    // The sound goes a block every 10 ms; the firmware's next fragment goes
    // as soon as the last one is acknowledged.
    static constexpr int kSoundPauseMs = 10;
    bool preparingSound_ = false;  // the backup before the sound is read
    bool stopPreparing_ = false;   // "Стоп" was pressed meanwhile
    bool closeLater_ = false;      // a close waits for the request that runs
    // Set while the port search runs; "Стоп" sets what it points to.
    std::shared_ptr<std::atomic<bool>> searchStop_;
    ParameterList parameterList_;
    TParametersEditForm* editor_ = nullptr;
    TDiagnosticForm* diagnostic_ = nullptr;
    TCanMonitorForm* canMonitor_ = nullptr;
    TTraceForm* traceForm_ = nullptr;       // made when first asked for
    TBatchStationForm* station_ = nullptr;  // made when first asked for
    k57::ReportedUnit unit_;
};
