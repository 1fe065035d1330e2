// k57tool: the K57 service tool.

#include <QScreen>
#include <exception>

#include "Application.h"
#include "CanMonitorForm.h"
#include "DiagnosticForm.h"
#include "DialogService.h"
#include "MainForm.h"
#include "ParametersEditForm.h"

int main(int argc, char** argv) {
    k57::MessageBoxDialogs dialogs;
    k57::Application app(argc, argv, dialogs);
    std::unique_ptr<TMainForm> mainForm;
    std::unique_ptr<TParametersEditForm> parametersEditForm;
    std::unique_ptr<TDiagnosticForm> diagnosticForm;
    std::unique_ptr<TCanMonitorForm> canMonitorForm;
    try {
        mainForm = std::make_unique<TMainForm>(dialogs);
        parametersEditForm =
            std::make_unique<TParametersEditForm>(dialogs, mainForm->Device(), mainForm.get());
        mainForm->SetEditor(parametersEditForm.get());
        diagnosticForm = std::make_unique<TDiagnosticForm>(mainForm->Device(), mainForm.get());
        canMonitorForm = std::make_unique<TCanMonitorForm>(mainForm->Device(), mainForm.get());
        canMonitorForm->SetDialogs(&dialogs);
        mainForm->SetMonitors(diagnosticForm.get(), canMonitorForm.get());
    } catch (const std::exception& e) {
        dialogs.error(nullptr, QString::fromUtf8(e.what()));
        return 0;
    }
    QRect screen = app.primaryScreen()->availableGeometry();
    mainForm->move(screen.center() - mainForm->rect().center());
    mainForm->show();
    app.exec();
    return 0;
}
