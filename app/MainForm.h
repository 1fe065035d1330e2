#pragma once

#include <QWidget>
#include <memory>

#include "DeviceSession.h"
#include "DialogService.h"
#include "EmbeddedImages.h"
#include "ParameterList.h"

class TParametersEditForm;

namespace Ui {
class TMainForm;
}

// The main window: the port, the update buttons, the settings and
// information commands, and the log.
class TMainForm : public QWidget {
    Q_OBJECT

public:
    explicit TMainForm(k57::DialogService& dialogs, QWidget* parent = nullptr);
    ~TMainForm() override;

    k57::DeviceSession& Device() { return device_; }
    ParameterList& parameterList() { return parameterList_; }
    const VersionInfo& imageInfo() const { return firmware_.info; }
    // Appends one line to the log.
    void Log(const QString& line);
    // The windows this one opens; they are made after it.
    void SetEditor(TParametersEditForm* editor) { editor_ = editor; }

public slots:
    void PortComboBoxChange(const QString& text);
    void FindPortButtonClick();
    void ReadButtonClick();
    void OpenFileButtonClick();
    void GetSerialButtonClick();
    void GetVersionButtonClick();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void FillPortList(const QString& stored);
    void SelectPort(const QString& port);
    QString StoredPortOrDefault();
    void Fail(const QString& caption, const QString& text);
    void ShowEditor();

    std::unique_ptr<Ui::TMainForm> ui;
    k57::DialogService& dialogs_;
    k57::DialogNotifier notifier_;
    k57::DeviceSession device_;
    k57::images::Firmware firmware_;
    int32_t soundDataSize_ = 0;
    ParameterList parameterList_;
    TParametersEditForm* editor_ = nullptr;
};
