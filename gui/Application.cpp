#include "Application.h"

#include <exception>

namespace k57 {

Application::Application(int& argc, char** argv, DialogService& dialogs)
    : QApplication(argc, argv), dialogs_(dialogs) {
    setApplicationName("k57tool");
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        dialogs_.error(activeWindow(), QString::fromUtf8(e.what()));
    } catch (...) {
        dialogs_.error(activeWindow(), QString());
    }
    return false;
}

}  // namespace k57
