// k57tool: the K57 service tool.

#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>

#include "Application.h"
#include "CanMonitorForm.h"
#include "DiagnosticForm.h"
#include "DialogService.h"
#include "InterfaceLanguage.h"
#include "MainForm.h"
#include "ParametersEditForm.h"
#include "ScreenFit.h"
#include "Trace.h"
#include "Version.h"

namespace {

const char kHelp[] =
    "Usage: k57tool [--help] [--version] [--lang ru|en] [Qt options]\n"
    "Service tool for the K57 vehicle alarm and telematics unit: identifies the\n"
    "unit on its USB serial port, reads, edits, saves and writes its settings,\n"
    "updates its firmware and sound data, and shows the sensor and CAN monitors.\n"
    "The port is chosen in the window; k57ctl does the same work from a command line.\n"
    "\n"
    "  --lang ru|en   speak Russian or English this time; without it the language\n"
    "                 chosen in the window, or else the system's, is spoken\n";

}  // namespace

int main(int argc, char** argv) {
    // Answered before any window system is needed.
    std::optional<k57::Language> language;
    for (int i = 1; i < argc; ++i) {
        const char* value = nullptr;
        if (std::strcmp(argv[i], "--lang") == 0) {
            value = i + 1 < argc ? argv[++i] : "";
        } else if (std::strncmp(argv[i], "--lang=", 7) == 0) {
            value = argv[i] + 7;
        }
        if (value) {
            language = k57::ParseLanguage(QString::fromLocal8Bit(value));
            if (!language) {
                std::fprintf(stderr, "k57tool: --lang takes ru or en, not \"%s\"\n", value);
                return 2;
            }
            continue;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s\n", k57::VersionText("k57tool").c_str());
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kHelp, stdout);
            return 0;
        }
    }
    // The window keeps the link's trace from the start: a support report
    // then holds the exchange that failed.
    k57::Trace::Global().SetOn(true);
    k57::MessageBoxDialogs dialogs;
    k57::Application app(argc, argv, dialogs, k57::ChosenLanguage(language));
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
        diagnosticForm->SetDialogs(&dialogs);
        canMonitorForm = std::make_unique<TCanMonitorForm>(mainForm->Device(), mainForm.get());
        canMonitorForm->SetDialogs(&dialogs);
        mainForm->SetMonitors(diagnosticForm.get(), canMonitorForm.get());
    } catch (const std::exception& e) {
        dialogs.error(nullptr, QString::fromUtf8(e.what()));
        return 0;
    }
    k57::CentreOnScreen(*mainForm);
    mainForm->show();
    app.exec();
    return 0;
}
