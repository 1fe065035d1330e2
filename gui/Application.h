#pragma once

#include <QApplication>
#include <QTranslator>

#include "DialogService.h"
#include "QtTextSupplement.h"

namespace k57 {

// An error that escapes an event handler is reported in the standard error
// dialog and the program goes on.
class Application : public QApplication {
  public:
    Application(int& argc, char** argv, DialogService& dialogs);
    bool notify(QObject* receiver, QEvent* event) override;

  private:
    void InstallRussianQtTexts();

    DialogService& dialogs_;
    QtTextSupplement qtTextsMissing_;
    QTranslator qtTexts_;
};

}  // namespace k57
