#pragma once

#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "DeviceSession.h"
#include "DialogService.h"
#include "EmbeddedImages.h"
#include "ParameterList.h"
#include "SettingsVerdict.h"
#include "UpdateSources.h"

class TCanMonitorForm;
class TDiagnosticForm;
class TParametersEditForm;

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
    void SetEditor(TParametersEditForm* editor) { editor_ = editor; }
    void SetMonitors(TDiagnosticForm* diagnostic, TCanMonitorForm* can) {
        diagnostic_ = diagnostic;
        canMonitor_ = can;
    }
    // An update is being transferred; other device commands wait for it.
    bool transferRunning() const { return firmwareTransfer_.active() || soundTransfer_.active(); }
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
    void Timer1Timer();
    void WaveUpdateButtonClick();
    void Timer2Timer();
    void Memo1DblClick();
    void GroupBox1DblClick();
    // The log's context menu: "Сохранить журнал…" (UTF-8 text).
    void SaveLog();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void FillPortList(const QString& stored);
    void SelectPort(const QString& port);
    QString StoredPortOrDefault();
    void Inform(const QString& caption, const QString& text);
    void ShowEditor();
    void ListSettingsProblems(const QString& intro, const k57::SettingsVerdict& verdict);
    void LockDeviceCommands(bool locked);
    bool UnitNeedsFirmware();
    // Runs one request off the GUI thread; a failure gets its log line.
    int Request(const std::function<int(DeviceInterface&)>& request);
    void LogFailure();
    QString PortText() const;
    void ShowWait(const QString& port, int seconds);
    void Memo1ContextMenu(const QPoint& at);
    void StopSound();
    void StopTransfer(k57::Transfer& transfer, QTimer& timer);
    void TransferTick(k57::Transfer& transfer, QTimer& timer);
    void FinishTransfer(const k57::Transfer& transfer, k57::Transfer::Step step);
    void RestoreWaveCaption();

    std::unique_ptr<Ui::TMainForm> ui;
    k57::DialogService& dialogs_;
    k57::DialogNotifier notifier_;
    k57::DeviceSession device_;
    k57::images::Firmware firmware_;
    int32_t soundDataSize_ = 0;
    k57::Transfer firmwareTransfer_{std::make_unique<k57::FirmwareSource>(firmware_)};
    k57::Transfer soundTransfer_{std::make_unique<k57::SoundSource>()};
    QTimer Timer1;
    QTimer Timer2;
    bool updateStarting_ = false;
    bool soundStarting_ = false;
    bool stopRequested_ = false;
    ParameterList parameterList_;
    TParametersEditForm* editor_ = nullptr;
    TDiagnosticForm* diagnostic_ = nullptr;
    TCanMonitorForm* canMonitor_ = nullptr;
};
