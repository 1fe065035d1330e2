#include "ScreenFit.h"

#include <QRect>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace k57 {

namespace {

QRect WorkArea(const QWidget& window) {
    QScreen* screen = window.screen();
    return screen ? screen->availableGeometry() : QRect(QPoint(0, 0), window.size());
}

}  // namespace

QSize FittedSize(QSize designed, QSize workArea, QSize frame) {
    return designed.boundedTo(workArea - frame).expandedTo(QSize(1, 1));
}

void FitToScreen(QWidget& window) {
    QSize fitted = FittedSize(window.size(), WorkArea(window).size());
    if (fitted != window.size()) {
        window.resize(fitted);
    }
}

void CentreOnScreen(QWidget& window) {
    QRect area = WorkArea(window);
    QPoint at = area.center() - window.rect().center();
    int titleBar = kWindowFrame.height() - kWindowFrame.width() / 2;
    at.setY(std::max(at.y(), area.top() + titleBar));
    window.move(at);
}

}  // namespace k57
