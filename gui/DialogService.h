#pragma once

#include <QString>

#include "FileDialogFolder.h"
#include "Notifier.h"

class QWidget;

namespace k57 {

enum class Buttons { Ok, OkCancel, YesNo };
enum class Answer { Ok, Cancel, Yes, No };
// A box that tells of a failure carries the warning sign, so that it is
// told from a plain message at a glance.
enum class Icon { None, Warning, Critical };

// Every message box and file dialog of the program goes through this, so
// tests can script the answers. Message boxes are modal and owned by
// `owner`; only those telling of a failure have an icon.
class DialogService {
  public:
    virtual ~DialogService() = default;
    // `preferred` is the button Enter presses: OK or Yes unless a question
    // whose hasty answer loses work names Cancel or No.
    virtual Answer message(QWidget* owner, const QString& caption, const QString& text,
                           Buttons buttons = Buttons::Ok, Answer preferred = Answer::Ok,
                           Icon icon = Icon::None) = 0;
    // A failure told in a box with the warning sign and one OK button.
    void warning(QWidget* owner, const QString& caption, const QString& text) {
        message(owner, caption, text, Buttons::Ok, Answer::Ok, Icon::Warning);
    }
    // The standard report of an error that ended an action.
    virtual void error(QWidget* owner, const QString& text) = 0;
    // The chosen path, or an empty text when the user cancelled. `filter` is
    // "description | pattern"; `suggested`, a file name offered in the
    // dialog's folder.
    virtual QString openFileName(QWidget* owner, const QString& filter, const QString& suffix) = 0;
    virtual QString saveFileName(QWidget* owner, const QString& filter, const QString& suffix,
                                 const QString& suggested = {}) = 0;
};

// The real thing: QMessageBox and QFileDialog.
class MessageBoxDialogs : public DialogService {
  public:
    Answer message(QWidget* owner, const QString& caption, const QString& text, Buttons buttons,
                   Answer preferred, Icon icon) override;
    void error(QWidget* owner, const QString& text) override;
    QString openFileName(QWidget* owner, const QString& filter, const QString& suffix) override;
    QString saveFileName(QWidget* owner, const QString& filter, const QString& suffix,
                         const QString& suggested) override;

  private:
    FileDialogFolder folder_;
};

// Carries the device layer's notices to a dialog service while it lives.
class DialogNotifier : public Notifier {
  public:
    explicit DialogNotifier(DialogService& dialogs);
    ~DialogNotifier() override;
    void Notify(WindowHandle owner, const std::string& caption, const NoticeText& text) override;

  private:
    DialogService& dialogs_;
};

}  // namespace k57
