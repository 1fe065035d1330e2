#include "Application.h"

#include <exception>

#include <QIcon>
#include <QTranslator>

#include "FontFallbacks.h"

namespace k57 {

Application::Application(int& argc, char** argv, DialogService& dialogs, Language language)
    : QApplication(argc, argv), language_(language), dialogs_(dialogs) {
    setApplicationName("k57tool");
#ifdef Q_OS_WIN
    // Fontconfig already finds sane stand-ins elsewhere; Windows' font
    // engine needs to be told (a PC without Tahoma, or Wine without its
    // fonts).
    InstallFontFallbacks();
#endif
    // Qt's own texts are English: only Russian needs their translation.
    if (!InstallProgramTranslation(language_)) {
        language_ = Language::Russian;
    }
    if (language_ == Language::Russian) {
        InstallRussianQtTexts();
    }
    // Every window carries the program's icon, on every platform.
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QString(":/icons/k57tool-%1.png").arg(size), QSize(size, size));
    }
    setWindowIcon(icon);
}

// Qt's own buttons and dialogs speak the program's language; the
// translation travels inside the program. The last translator installed is
// asked first, so the supplement only fills the translation's gaps. File
// types in the file dialog follow the default locale.
void Application::InstallRussianQtTexts() {
    installTranslator(&qtTextsMissing_);
    if (qtTexts_.load(":/translations/qtbase_ru.qm")) {
        installTranslator(&qtTexts_);
    }
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
