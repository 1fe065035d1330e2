#include "PlotPainter.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "PlotAxes.h"

namespace k57 {

QColor PlotColour(int channel) {
    static const QColor kColours[] = {
        QColor(0, 90, 200),  QColor(210, 40, 40),  QColor(20, 150, 60),  QColor(230, 130, 0),
        QColor(130, 60, 180), QColor(0, 150, 160), QColor(140, 90, 40), QColor(200, 0, 150),
    };
    return kColours[size_t(channel) % std::size(kColours)];
}

namespace plotpaint {

// A column is a vertical stroke from its minimum to its maximum, joined to
// the next column from its last value to the next one's first (across a
// gap, by a line; beside it, by lengthening the next column's stroke). Whole pixels
// and a cosmetic pen keep the raster engine on its fast path for lines.
void Traces(QPainter& painter, const QRect& plot,
            const std::vector<std::vector<PlotColumn>>& columns, double low, double high) {
    const double scale = plot.height() / (high - low);
    // Far outside the plot a value is clipped anyway; kept within int.
    auto y = [&](double v) {
        return int(std::lround(std::clamp(plot.bottom() - (v - low) * scale, -1e6, 1e6)));
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
void Marks(QPainter& painter, const QRect& plot, const std::deque<PlotMark>& marks, double from,
           double to) {
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

void Legend(QPainter& painter, const QRect& plot, const std::vector<PlotChannel>& channels,
            const QColor& text, const QString& paused) {
    const QFontMetrics metrics(painter.font());
    int x = plot.left() + 6;
    for (size_t c = 0; c < channels.size(); ++c) {
        const PlotChannel& channel = channels[c];
        QString name = QString::fromStdString(channel.name());
        if (!channel.unit().empty()) {
            name += ", " + QString::fromStdString(channel.unit());
        }
        painter.fillRect(x, plot.top() + 6, 12, 3, PlotColour(int(c)));
        painter.setPen(text);
        painter.drawText(x + 16, plot.top() + 2 + metrics.ascent(), name);
        x += 28 + metrics.horizontalAdvance(name);
    }
    if (!paused.isEmpty()) {
        painter.setPen(QColor(200, 0, 0));
        painter.drawText(QRect(plot.left(), plot.top() + 2, plot.width() - 6, metrics.height()),
                         Qt::AlignRight, paused);
    }
}

void Cursor(QPainter& painter, const QRect& plot, int x, double seconds,
            const std::vector<PlotChannel>& channels, const QColor& text) {
    painter.setPen(QPen(QColor(0, 0, 0), 1, Qt::DotLine));
    painter.drawLine(x, plot.top(), x, plot.bottom());
    QStringList lines{QString::number(seconds, 'f', 3) + " s"};
    for (const PlotChannel& channel : channels) {
        size_t i;
        QString value = channel.IndexAt(seconds, i) ? plotaxes::ValueText(channel.Value(i)) : "—";
        lines << QString::fromStdString(channel.name()) + " = " + value + " " +
                     QString::fromStdString(channel.unit());
    }
    const QFontMetrics metrics(painter.font());
    int width = 0;
    for (const QString& line : lines) {
        width = std::max(width, metrics.horizontalAdvance(line));
    }
    QRect box(x + 8, plot.top() + 20, width + 8, int(lines.size()) * metrics.height() + 4);
    if (box.right() > plot.right()) {
        box.moveRight(x - 8);
    }
    painter.fillRect(box, QColor(255, 255, 255, 230));
    painter.setPen(QColor(120, 120, 120));
    painter.drawRect(box);
    for (int i = 0; i < lines.size(); ++i) {
        painter.setPen(i == 0 ? text : PlotColour(i - 1));
        painter.drawText(box.left() + 4, box.top() + 2 + i * metrics.height() + metrics.ascent(),
                         lines[i]);
    }
}

}  // namespace plotpaint

}  // namespace k57
