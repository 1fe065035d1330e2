#include "PlotWidget.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "DialogService.h"
#include "PlotCsv.h"
#include "SafeSave.h"

#include <QBuffer>

namespace k57 {

namespace {

constexpr int kLeftMargin = 64;
constexpr int kRightMargin = 8;
constexpr int kTopMargin = 8;
constexpr int kBottomMargin = 20;
constexpr double kZoomStep = 1.25;
constexpr double kMinSpan = 0.01;
constexpr double kMaxSpan = 24 * 3600.0;

// A round step that splits `range` into about `parts`: 1, 2 or 5 times a
// power of ten.
double TickStep(double range, int parts) {
    double raw = range / std::max(parts, 1);
    double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0}) {
        if (m * power >= raw) {
            return m * power;
        }
    }
    return 10 * power;
}

QString TickText(double value, double step) {
    int decimals = step >= 1 ? 0 : int(std::ceil(-std::log10(step) - 1e-9));
    return QString::number(std::abs(value) < step / 1e6 ? 0.0 : value, 'f', std::min(decimals, 9));
}

QString ValueText(double value) {
    return QString::number(value, 'g', 6);
}

}  // namespace

QColor PlotColour(int channel) {
    static const QColor kColours[] = {
        QColor(0, 90, 200),  QColor(210, 40, 40),  QColor(20, 150, 60),  QColor(230, 130, 0),
        QColor(130, 60, 180), QColor(0, 150, 160), QColor(140, 90, 40), QColor(200, 0, 150),
    };
    return kColours[size_t(channel) % std::size(kColours)];
}

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

QRect PlotWidget::PlotArea(const QRect& area) const {
    return area.adjusted(kLeftMargin, kTopMargin, -kRightMargin, -kBottomMargin);
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
    const QRect plot = PlotArea(area);
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
    Scale(columns);
    DrawValueAxis(painter, area, plot);
    DrawTimeAxis(painter, plot, from, to);
    painter.save();
    painter.setClipRect(plot);
    DrawChannels(painter, plot, columns);
    DrawMarks(painter, plot, from, to);
    painter.restore();
    DrawLegend(painter, plot);
    DrawCursor(painter, plot);
}

// Autoscale: the visible samples' range with a little room; a flat line
// gets a range around it.
void PlotWidget::Scale(const std::vector<std::vector<PlotColumn>>& columns) {
    if (!autoscale_) {
        return;
    }
    bool any = false;
    double low = 0, high = 0;
    for (const std::vector<PlotColumn>& channel : columns) {
        for (const PlotColumn& column : channel) {
            if (column.count) {
                low = any ? std::min(low, column.min) : column.min;
                high = any ? std::max(high, column.max) : column.max;
                any = true;
            }
        }
    }
    if (!any) {
        low = -1, high = 1;
    } else if (high - low < 1e-9 * std::max(1.0, std::abs(high))) {
        double room = std::max(1.0, std::abs(high) * 0.1);
        low -= room, high += room;
    } else {
        double room = (high - low) * 0.05;
        low -= room, high += room;
    }
    yLow_ = low, yHigh_ = high;
}

// The background, the frame, the value labels and the horizontal grid
// change only with the scale and the size: they are drawn once into a
// pixmap, which then covers the whole area.
void PlotWidget::DrawValueAxis(QPainter& painter, const QRect& area, const QRect& plot) {
    if (axisCache_.isNull() || axisCacheArea_ != area || axisCacheLow_ != yLow_ ||
        axisCacheHigh_ != yHigh_) {
        axisCache_ = QPixmap(area.size());
        axisCache_.fill(palette().color(QPalette::Base));
        QPainter p(&axisCache_);
        p.setFont(painter.font());
        p.translate(-area.topLeft());
        const QRect inner = plot;
        double step = TickStep(yHigh_ - yLow_, std::max(2, inner.height() / 40));
        QPen grid(QColor(225, 225, 225));
        p.setPen(grid);
        const QColor text = palette().color(QPalette::Text);
        for (double v = std::ceil(yLow_ / step) * step; v <= yHigh_; v += step) {
            int y = inner.bottom() - int((v - yLow_) / (yHigh_ - yLow_) * inner.height());
            p.setPen(grid);
            p.drawLine(inner.left(), y, inner.right(), y);
            p.setPen(text);
            p.drawText(QRect(area.left(), y - 8, kLeftMargin - 6, 16),
                       Qt::AlignRight | Qt::AlignVCenter, TickText(v, step));
        }
        p.setPen(QColor(160, 160, 160));
        p.drawRect(inner.adjusted(0, 0, -1, -1));
        axisCacheArea_ = area;
        axisCacheLow_ = yLow_;
        axisCacheHigh_ = yHigh_;
    }
    painter.drawPixmap(area.topLeft(), axisCache_);
}

// The time labels move with a live plot: drawn every time, a dozen at most.
void PlotWidget::DrawTimeAxis(QPainter& painter, const QRect& plot, double from, double to) {
    double step = TickStep(to - from, std::max(2, plot.width() / 90));
    const QColor text = palette().color(QPalette::Text);
    for (double t = std::ceil(from / step) * step; t < to; t += step) {
        int x = plot.left() + int((t - from) / (to - from) * plot.width());
        painter.setPen(QColor(235, 235, 235));
        painter.drawLine(x, plot.top() + 1, x, plot.bottom() - 1);
        painter.setPen(text);
        painter.drawText(QRect(x - 45, plot.bottom() + 2, 90, kBottomMargin - 2),
                         Qt::AlignHCenter | Qt::AlignTop, TickText(t, step) + " s");
    }
}

// A column is a vertical stroke from its minimum to its maximum, joined to
// the next column from its last value to the next one's first (across a
// gap, by a line; beside it, by lengthening the next column's stroke). Whole pixels
// and a cosmetic pen keep the raster engine on its fast path for lines.
void PlotWidget::DrawChannels(QPainter& painter, const QRect& plot,
                              const std::vector<std::vector<PlotColumn>>& columns) {
    const double scale = plot.height() / (yHigh_ - yLow_);
    // Far outside the plot a value is clipped anyway; kept within int.
    auto y = [&](double v) {
        return int(std::lround(std::clamp(plot.bottom() - (v - yLow_) * scale, -1e6, 1e6)));
    };
    QVector<QLine> lines;
    for (size_t c = 0; c < columns.size(); ++c) {
        QPen pen(PlotColour(int(c)), 0);
        pen.setCosmetic(true);
        painter.setPen(pen);
        lines.clear();
        int lastX = -1, lastY = 0;
        for (size_t x = 0; x < columns[c].size(); ++x) {
            const PlotColumn& column = columns[c][x];
            if (!column.count) {
                continue;
            }
            const int px = plot.left() + int(x);
            const int first = y(column.first);
            int top = y(column.max), bottom = y(column.min);
            if (lastX == px - 1) {
                // From the neighbour's last value the join is all but
                // vertical: it joins the stroke, one line a column.
                top = std::min({top, first, lastY});
                bottom = std::max({bottom, first, lastY});
            } else if (lastX >= 0) {
                lines << QLine(lastX, lastY, px, first);
            }
            lines << QLine(px, top, px, bottom);
            lastX = px;
            lastY = y(column.last);
        }
        painter.drawLines(lines);
    }
}

// Dashed lines with their labels along the top, in three staggered rows so
// that marks close together stay readable.
void PlotWidget::DrawMarks(QPainter& painter, const QRect& plot, double from, double to) {
    if (!data_) {
        return;
    }
    const std::deque<PlotMark>& marks = data_->marks();
    auto first = std::lower_bound(marks.begin(), marks.end(), from,
                                  [](const PlotMark& m, double t) { return m.seconds < t; });
    QPen pen(QColor(120, 120, 120), 1, Qt::DashLine);
    const QFontMetrics metrics(painter.font());
    int row = 0;
    for (auto mark = first; mark != marks.end() && mark->seconds < to; ++mark) {
        int x = plot.left() + int((mark->seconds - from) / (to - from) * plot.width());
        painter.setPen(pen);
        painter.drawLine(x, plot.top(), x, plot.bottom());
        QString label = QString::fromStdString(mark->label);
        QRect box(x + 2, plot.top() + 18 + row * (metrics.height() + 1),
                  metrics.horizontalAdvance(label) + 4, metrics.height());
        painter.fillRect(box, QColor(255, 255, 230));
        painter.setPen(QColor(80, 80, 80));
        painter.drawText(box, Qt::AlignCenter, label);
        row = (row + 1) % 3;
    }
}

void PlotWidget::DrawLegend(QPainter& painter, const QRect& plot) {
    if (!data_) {
        return;
    }
    const QFontMetrics metrics(painter.font());
    int x = plot.left() + 6;
    for (size_t c = 0; c < data_->channels().size(); ++c) {
        const PlotChannel& channel = data_->channels()[c];
        QString name = QString::fromStdString(channel.name());
        if (!channel.unit().empty()) {
            name += ", " + QString::fromStdString(channel.unit());
        }
        painter.fillRect(x, plot.top() + 6, 12, 3, PlotColour(int(c)));
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(x + 16, plot.top() + 2 + metrics.ascent(), name);
        x += 28 + metrics.horizontalAdvance(name);
    }
    if (paused_) {
        painter.setPen(QColor(200, 0, 0));
        painter.drawText(QRect(plot.left(), plot.top() + 2, plot.width() - 6, metrics.height()),
                         Qt::AlignRight, tr("Пауза", "the plot stands still"));
    }
}

// A vertical line at the pointer, with its time and each channel's latest
// value at or before it.
void PlotWidget::DrawCursor(QPainter& painter, const QRect& plot) {
    if (cursorX_ < plot.left() || cursorX_ > plot.right() || !data_) {
        return;
    }
    const double t = TimeAtX(cursorX_);
    painter.setPen(QPen(QColor(0, 0, 0), 1, Qt::DotLine));
    painter.drawLine(cursorX_, plot.top(), cursorX_, plot.bottom());
    QStringList lines{QString::number(t, 'f', 3) + " s"};
    for (const PlotChannel& channel : data_->channels()) {
        size_t i;
        QString value = channel.IndexAt(t, i) ? ValueText(channel.Value(i)) : "—";
        lines << QString::fromStdString(channel.name()) + " = " + value + " " +
                     QString::fromStdString(channel.unit());
    }
    const QFontMetrics metrics(painter.font());
    int width = 0;
    for (const QString& line : lines) {
        width = std::max(width, metrics.horizontalAdvance(line));
    }
    QRect box(cursorX_ + 8, plot.top() + 20, width + 8, int(lines.size()) * metrics.height() + 4);
    if (box.right() > plot.right()) {
        box.moveRight(cursorX_ - 8);
    }
    painter.fillRect(box, QColor(255, 255, 255, 230));
    painter.setPen(QColor(120, 120, 120));
    painter.drawRect(box);
    for (int i = 0; i < lines.size(); ++i) {
        painter.setPen(i == 0 ? palette().color(QPalette::Text) : PlotColour(i - 1));
        painter.drawText(box.left() + 4, box.top() + 2 + i * metrics.height() + metrics.ascent(),
                         lines[i]);
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
