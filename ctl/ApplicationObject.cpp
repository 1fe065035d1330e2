#include "ApplicationObject.h"

#include <QGuiApplication>
#include <clocale>
#include <cstring>

namespace k57::ctl {

bool WritesCertificates(int argc, char** argv) {
    bool batch = false;
    bool report = false;
    for (int i = 1; i < argc; ++i) {
        batch = batch || std::strcmp(argv[i], "batch") == 0;
        report = report || std::strcmp(argv[i], "--report") == 0 ||
                 std::strncmp(argv[i], "--report=", 9) == 0;
    }
    return batch && report;
}

// A certificate is a PDF with text, and Qt draws text only with the fonts a
// QGuiApplication brings. Every other command stays as it was, with no
// application object at all: a QCoreApplication would bring nothing they
// use, and its constructor takes the C locale from the environment, so that
// printf would write "1,5" for the numbers of the CAN log and of the JSON
// for a technician whose system speaks Russian.
std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char** argv) {
    if (!WritesCertificates(argc, argv)) {
        return nullptr;
    }
#ifndef _WIN32
    // k57ctl runs over SSH and on line PCs with no display, where the
    // system's platform (xcb, wayland) would end the program. The offscreen
    // platform needs no display and has the same fonts (fontconfig). On
    // Windows the package's own platform (qwindows) needs no window either.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
#endif
    auto application = std::make_unique<QGuiApplication>(argc, argv);
    // The numbers k57ctl prints stay as C writes them (see above).
    std::setlocale(LC_NUMERIC, "C");
    return application;
}

}  // namespace k57::ctl
