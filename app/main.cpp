// k57tool: the K57 service tool.

#include <QScreen>
#include <exception>

#include "Application.h"
#include "DialogService.h"
#include "MainForm.h"

int main(int argc, char** argv) {
    k57::MessageBoxDialogs dialogs;
    k57::Application app(argc, argv, dialogs);
    std::unique_ptr<TMainForm> mainForm;
    try {
        mainForm = std::make_unique<TMainForm>(dialogs);
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
