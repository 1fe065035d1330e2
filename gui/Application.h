#pragma once

#include <QApplication>
#include <QTranslator>

#include "DialogService.h"
#include "InterfaceLanguage.h"
#include "QtTextSupplement.h"

namespace k57 {

// The program's language, its icon and fonts for every window. An error
// that escapes an event handler is reported in the standard error dialog
// and the program goes on.
class Application : public QApplication {
  public:
    Application(int& argc, char** argv, DialogService& dialogs, Language language);
    bool notify(QObject* receiver, QEvent* event) override;
    Language language() const { return language_; }

  private:
    void InstallRussianQtTexts();

    Language language_;
    DialogService& dialogs_;
    QtTextSupplement qtTextsMissing_;
    QTranslator qtTexts_;
};

}  // namespace k57
