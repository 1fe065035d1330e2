#include "DialogService.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QThread>

namespace k57 {

namespace {

// "description | *.txt" in Qt's form: "description (*.txt)".
QString QtFilter(const QString& filter) {
    QStringList parts = filter.split('|');
    if (parts.size() != 2) {
        return filter;
    }
    return parts[0].trimmed() + " (" + parts[1].trimmed() + ")";
}

QString WithSuffix(QString path, const QString& suffix) {
    if (!path.isEmpty() && !suffix.isEmpty() && QFileInfo(path).suffix().isEmpty()) {
        path += "." + suffix;
    }
    return path;
}

// The button Enter presses.
QMessageBox::StandardButton DefaultButton(Buttons buttons, Answer preferred) {
    if (buttons == Buttons::YesNo) {
        return preferred == Answer::No ? QMessageBox::No : QMessageBox::Yes;
    }
    return buttons == Buttons::OkCancel && preferred == Answer::Cancel ? QMessageBox::Cancel
                                                                       : QMessageBox::Ok;
}

}  // namespace

Answer MessageBoxDialogs::message(QWidget* owner, const QString& caption, const QString& text,
                                  Buttons buttons, Answer preferred, Icon icon) {
    QMessageBox::StandardButtons shown = buttons == Buttons::Ok ? QMessageBox::Ok
                                         : buttons == Buttons::OkCancel
                                             ? QMessageBox::Ok | QMessageBox::Cancel
                                             : QMessageBox::Yes | QMessageBox::No;
    QMessageBox box(icon == Icon::Critical  ? QMessageBox::Critical
                    : icon == Icon::Warning ? QMessageBox::Warning
                                            : QMessageBox::NoIcon,
                    caption, text, shown, owner);
    box.setDefaultButton(DefaultButton(buttons, preferred));
    // A box shown in the middle of a long request wants the normal pointer.
    bool busy = QApplication::overrideCursor() != nullptr;
    if (busy) {
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    int answer = box.exec();
    if (busy) {
        QApplication::restoreOverrideCursor();
    }
    switch (answer) {
        case QMessageBox::Cancel:
            return Answer::Cancel;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
}

void MessageBoxDialogs::error(QWidget* owner, const QString& text) {
    QMessageBox::critical(owner, QApplication::applicationName(), text);
}

QString MessageBoxDialogs::openFileName(QWidget* owner, const QString& filter,
                                        const QString& suffix) {
    QString path = WithSuffix(
        QFileDialog::getOpenFileName(owner, QString(), folder_.start(), QtFilter(filter)), suffix);
    folder_.remember(path);
    return path;
}

QString MessageBoxDialogs::saveFileName(QWidget* owner, const QString& filter,
                                        const QString& suffix, const QString& suggested) {
    const QString start = suggested.isEmpty() ? folder_.start() : folder_.start() + "/" + suggested;
    QString path =
        WithSuffix(QFileDialog::getSaveFileName(owner, QString(), start, QtFilter(filter), nullptr,
                                                QFileDialog::DontConfirmOverwrite),
                   suffix);
    folder_.remember(path);
    return path;
}

DialogNotifier::DialogNotifier(DialogService& dialogs) : dialogs_(dialogs) {
    SetNotifier(this);
}

DialogNotifier::~DialogNotifier() {
    SetNotifier(nullptr);
}

// A request running on a worker thread shows its notice on the GUI thread
// and waits for the box to close.
void DialogNotifier::Notify(WindowHandle owner, const std::string& caption,
                            const NoticeText& text) {
    auto show = [&] {
        // The device layer's notices are all of a port that failed.
        dialogs_.warning(static_cast<QWidget*>(owner), QString::fromStdString(caption),
                         QString::fromStdString(text.toUtf8()));
    };
    if (QThread::currentThread() == qApp->thread()) {
        show();
    } else {
        QMetaObject::invokeMethod(qApp, show, Qt::BlockingQueuedConnection);
    }
}

}  // namespace k57
