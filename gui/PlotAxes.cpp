#include "PlotAxes.h"

#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <cmath>

namespace k57::plotaxes {

namespace {

constexpr int kLeftMargin = 64;
constexpr int kRightMargin = 8;
constexpr int kTopMargin = 8;
constexpr int kBottomMargin = 20;

}  // namespace

QRect PlotArea(const QRect& area) {
    return area.adjusted(kLeftMargin, kTopMargin, -kRightMargin, -kBottomMargin);
}

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

void Autoscale(const std::vector<std::vector<PlotColumn>>& columns, double& low, double& high) {
    bool any = false;
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
}

// The time labels move with a live plot: drawn every time, a dozen at most.
void DrawTimeAxis(QPainter& painter, const QRect& plot, double from, double to,
                  const QColor& text) {
    double step = TickStep(to - from, std::max(2, plot.width() / 90));
    for (double t = std::ceil(from / step) * step; t < to; t += step) {
        int x = plot.left() + int((t - from) / (to - from) * plot.width());
        painter.setPen(QColor(235, 235, 235));
        painter.drawLine(x, plot.top() + 1, x, plot.bottom() - 1);
        painter.setPen(text);
        painter.drawText(QRect(x - 45, plot.bottom() + 2, 90, kBottomMargin - 2),
                         Qt::AlignHCenter | Qt::AlignTop, TickText(t, step) + " s");
    }
}

// Drawn once into a pixmap, which then covers the whole area.
void ValueAxis::Draw(QPainter& painter, const QRect& area, const QRect& plot, double low,
                     double high, const QPalette& palette) {
    if (cache_.isNull() || cacheArea_ != area || cacheLow_ != low || cacheHigh_ != high) {
        cache_ = QPixmap(area.size());
        cache_.fill(palette.color(QPalette::Base));
        QPainter p(&cache_);
        p.setFont(painter.font());
        p.translate(-area.topLeft());
        double step = TickStep(high - low, std::max(2, plot.height() / 40));
        QPen grid(QColor(225, 225, 225));
        p.setPen(grid);
        const QColor text = palette.color(QPalette::Text);
        for (double v = std::ceil(low / step) * step; v <= high; v += step) {
            int y = plot.bottom() - int((v - low) / (high - low) * plot.height());
            p.setPen(grid);
            p.drawLine(plot.left(), y, plot.right(), y);
            p.setPen(text);
            p.drawText(QRect(area.left(), y - 8, kLeftMargin - 6, 16),
                       Qt::AlignRight | Qt::AlignVCenter, TickText(v, step));
        }
        p.setPen(QColor(160, 160, 160));
        p.drawRect(plot.adjusted(0, 0, -1, -1));
        cacheArea_ = area;
        cacheLow_ = low;
        cacheHigh_ = high;
    }
    painter.drawPixmap(area.topLeft(), cache_);
}

}  // namespace k57::plotaxes
