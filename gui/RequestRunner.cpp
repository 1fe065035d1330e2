#include "RequestRunner.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <thread>

#include "BusyCursor.h"
#include "DeviceInterface.h"

namespace k57 {

namespace {

bool IsUserInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
            return true;
        default:
            return false;
    }
}

// How often the wait's status is refreshed, and after how long it shows.
constexpr int kStatusTickMs = 250;
constexpr int kStatusAfterMs = 500;

}  // namespace

bool RequestRunner::Blocked(QWidget* widget) const {
    for (const QPointer<QWidget>& open : letThrough_) {
        if (open && (open == widget || open->isAncestorOf(widget))) {
            return false;
        }
    }
    QWidget* window = widget->window();
    for (const QPointer<QWidget>& frozen : frozen_) {
        if (frozen == window) {
            return true;
        }
    }
    return false;
}

bool RequestRunner::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType()) {
        return false;
    }
    auto* widget = static_cast<QWidget*>(watched);
    if (IsUserInput(event->type())) {
        return Blocked(widget);
    }
    if (event->type() == QEvent::Close && widget->isWindow() && Blocked(widget)) {
        closeLater_.push_back(widget);
        event->ignore();
        return true;
    }
    return false;
}

int RequestRunner::Run(const std::function<int()>& request, const std::function<QString()>& port) {
    if (running_) {
        return kNoReply;
    }
    running_ = true;
    frozen_.clear();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible()) {
            frozen_.push_back(window);
        }
    }
    qApp->installEventFilter(this);
    BusyCursor busy;

    QEventLoop loop;
    std::atomic<bool> done{false};
    int result = kNoReply;
    std::thread worker([&] {
        result = request();
        done = true;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });

    QElapsedTimer waited;
    waited.start();
    QTimer status;
    status.setInterval(kStatusTickMs);
    QObject::connect(&status, &QTimer::timeout, [&] {
        if (status_ && waited.elapsed() >= kStatusAfterMs) {
            status_(port(), int(waited.elapsed() / 1000));
        }
    });
    status.start();
    if (!done) {
        loop.exec();
    }
    worker.join();
    status.stop();
    if (status_ && waited.elapsed() >= kStatusAfterMs) {
        status_(QString(), 0);
    }

    qApp->removeEventFilter(this);
    frozen_.clear();
    running_ = false;
    for (const QPointer<QWidget>& window : closeLater_) {
        if (window) {
            QTimer::singleShot(0, window, &QWidget::close);
        }
    }
    closeLater_.clear();
    return result;
}

}  // namespace k57
