#include "PlotWidget.h"

#include <QBuffer>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "DialogService.h"
#include "PlotCsv.h"
#include "SafeSave.h"

namespace k57 {

namespace {

constexpr double kZoomStep = 1.25;
constexpr double kMinSpan = 0.01;
constexpr double kMaxSpan = 24 * 3600.0;

}  // namespace

PlotWidget::PlotWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(200, 120);
    refresh_.setInterval(kRefreshMs);
    connect(&refresh_, &QTimer::timeout, this, &PlotWidget::Refresh);
    refresh_.start();
}

void PlotWidget::SetData(const PlotData* data) {
    data_ = data;
    ViewChanged();
}

void PlotWidget::ViewChanged() {
    viewChanged_ = true;
}

void PlotWidget::Refresh() {
    if (!isVisible()) {
        return;
    }
    bool dataChanged = data_ && data_->generation() != paintedGeneration_;
    if (viewChanged_ || (dataChanged && !paused_)) {
        update();
    }
}

void PlotWidget::SetPaused(bool paused) {
    if (paused && !paused_) {
        double from, to;
        TimeWindow(from, to);
        end_ = to;
    }
    paused_ = paused;
    ViewChanged();
}

void PlotWidget::SetSpan(double seconds) {
    span_ = std::clamp(seconds, kMinSpan, kMaxSpan);
    ViewChanged();
}

void PlotWidget::ShowAll() {
    double first, last;
    if (data_ && data_->TimeRange(first, last)) {
        span_ = std::clamp(last - first, kMinSpan, kMaxSpan);
        end_ = first + span_;
        paused_ = true;
    }
    ViewChanged();
}

void PlotWidget::SetAutoscale(bool on) {
    autoscale_ = on;
    ViewChanged();
}

void PlotWidget::SetFixedScale(double low, double high) {
    if (high > low) {
        autoscale_ = false;
        yLow_ = low;
        yHigh_ = high;
        ViewChanged();
    }
}

void PlotWidget::TimeWindow(double& from, double& to) const {
    if (paused_) {
        to = end_;
    } else {
        // Live: the newest sample at the right edge, once there is a span's
        // worth; before that the plot fills from the left.
        double first = 0, last = 0;
        if (data_ && data_->TimeRange(first, last)) {
            to = std::max(last, first + span_);
        } else {
            to = span_;
        }
    }
    from = to - span_;
}

double PlotWidget::TimeAtX(int x) const {
    double from, to;
    TimeWindow(from, to);
    if (lastPlot_.width() <= 0) {
        return from;
    }
    return from + (to - from) * (x - lastPlot_.left()) / lastPlot_.width();
}

void PlotWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Paint(painter, rect());
}

void PlotWidget::Paint(QPainter& painter, const QRect& area) {
    const QRect plot = plotaxes::PlotArea(area);
    lastPlot_ = plot;
    paintedGeneration_ = data_ ? data_->generation() : 0;
    viewChanged_ = false;
    if (plot.width() <= 0 || plot.height() <= 0) {
        painter.fillRect(area, palette().color(QPalette::Base));
        return;
    }
    double from, to;
    TimeWindow(from, to);
    std::vector<std::vector<PlotColumn>> columns;
    if (data_) {
        for (const PlotChannel& channel : data_->channels()) {
            columns.push_back(ReduceColumns(channel, from, to, plot.width()));
        }
    }
    if (autoscale_) {
        plotaxes::Autoscale(columns, yLow_, yHigh_);
    }
    // Bottom up: the axes, the traces and marks clipped to the plot, then
    // the legend and the cursor's read-out over them.
    const QColor text = palette().color(QPalette::Text);
    valueAxis_.Draw(painter, area, plot, yLow_, yHigh_, palette());
    plotaxes::DrawTimeAxis(painter, plot, from, to, text);
    painter.save();
    painter.setClipRect(plot);
    plotpaint::Traces(painter, plot, columns, yLow_, yHigh_);
    if (data_) {
        plotpaint::Marks(painter, plot, data_->marks(), from, to);
    }
    painter.restore();
    if (data_) {
        plotpaint::Legend(painter, plot, data_->channels(), text,
                          paused_ ? tr("Пауза", "the plot stands still") : QString());
    }
    if (data_ && cursorX_ >= plot.left() && cursorX_ <= plot.right()) {
        plotpaint::Cursor(painter, plot, cursorX_, TimeAtX(cursorX_), data_->channels(), text);
    }
}

void PlotWidget::wheelEvent(QWheelEvent* event) {
    const int notches = event->angleDelta().y() / 120;
    if (notches == 0) {
        return;
    }
    const double factor = std::pow(kZoomStep, -notches);
    if (event->modifiers() & Qt::ShiftModifier) {
        // The value axis, around the pointer's value.
        const QRect plot = lastPlot_;
        double at = yLow_ + (yHigh_ - yLow_) * (plot.bottom() - event->position().y()) /
                                std::max(1, plot.height());
        SetFixedScale(at - (at - yLow_) * factor, at + (yHigh_ - at) * factor);
    } else if (paused_) {
        // Around the pointer's time.
        double at = TimeAtX(int(event->position().x()));
        double newSpan = std::clamp(span_ * factor, kMinSpan, kMaxSpan);
        end_ = at + (end_ - at) * newSpan / span_;
        span_ = newSpan;
    } else {
        SetSpan(span_ * factor);  // live: the right edge stays on the newest
    }
    ViewChanged();
    update();
    event->accept();
}

void PlotWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        SetPaused(true);
        dragX_ = int(event->position().x());
        dragEnd_ = end_;
    }
}

void PlotWidget::mouseMoveEvent(QMouseEvent* event) {
    cursorX_ = int(event->position().x());
    if (dragX_ >= 0 && lastPlot_.width() > 0) {
        end_ = dragEnd_ - (cursorX_ - dragX_) * span_ / lastPlot_.width();
    }
    ViewChanged();
    update();
}

void PlotWidget::mouseReleaseEvent(QMouseEvent*) {
    dragX_ = -1;
}

void PlotWidget::leaveEvent(QEvent*) {
    cursorX_ = -1;
    ViewChanged();
    update();
}

void PlotWidget::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Space:
            SetPaused(!paused_);
            break;
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            SetSpan(span_ / kZoomStep);
            break;
        case Qt::Key_Minus:
            SetSpan(span_ * kZoomStep);
            break;
        case Qt::Key_Home:
            ShowAll();
            break;
        case Qt::Key_End:
            SetPaused(false);
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    update();
}

void PlotWidget::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu;
    menu.addAction(paused_ ? tr("Продолжить") : tr("Пауза"), this, [this] { SetPaused(!paused_); });
    menu.addAction(tr("Показать всё"), this, &PlotWidget::ShowAll);
    QAction* autoscale = menu.addAction(tr("Автомасштаб"), this, [this](bool on) {
        if (on) {
            SetAutoscale(true);
        } else {
            SetFixedScale(yLow_, yHigh_);
        }
    });
    autoscale->setCheckable(true);
    autoscale->setChecked(autoscale_);
    menu.addSeparator();
    menu.addAction(tr("Сохранить как PNG…"), this, &PlotWidget::SavePng);
    menu.addAction(tr("Сохранить как CSV…"), this, &PlotWidget::SaveCsv);
    menu.exec(event->globalPos());
    update();
}

bool PlotWidget::ExportPng(const QString& path, QString& error) {
    QImage image(size(), QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setFont(font());
    Paint(painter, image.rect());
    painter.end();
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
        error = tr("не удалось построить картинку");
        return false;
    }
    std::string reason;
    if (!SafeSave(path.toStdString(), std::string_view(png.constData(), size_t(png.size())),
                  reason, SaveAccess::Shared)) {
        error = QString::fromStdString(reason);
        return false;
    }
    return true;
}

bool PlotWidget::ExportCsv(const QString& path, QString& error) const {
    const std::string text = data_ ? plotcsv::Write(*data_) : plotcsv::Header({});
    std::string reason;
    if (!SafeSave(path.toStdString(), text, reason, SaveAccess::Shared)) {
        error = QString::fromStdString(reason);
        return false;
    }
    return true;
}

void PlotWidget::SavePng() {
    if (!dialogs_) {
        return;
    }
    QString path = dialogs_->saveFileName(this, "PNG | *.png", "png");
    QString error;
    if (!path.isEmpty() && !ExportPng(path, error)) {
        dialogs_->error(this, tr("Не удалось записать файл %1: %2").arg(path, error));
    }
}

void PlotWidget::SaveCsv() {
    if (!dialogs_) {
        return;
    }
    QString path = dialogs_->saveFileName(this, "CSV | *.csv", "csv");
    QString error;
    if (!path.isEmpty() && !ExportCsv(path, error)) {
        dialogs_->error(this, tr("Не удалось записать файл %1: %2").arg(path, error));
    }
}

}  // namespace k57
