#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <deque>
#include <vector>

#include "ColumnReduction.h"
#include "PlotData.h"

class QPainter;

namespace k57 {

// The n-th channel's colour.
QColor PlotColour(int channel);

// What a plot shows inside its axes: the channels' traces, the marks, the
// legend and the cursor's read-out. Each draws onto `plot`, the area inside
// the axes, in the painter's font.
namespace plotpaint {

// Each channel as its columns, one a pixel, scaled to [low, high].
void Traces(QPainter& painter, const QRect& plot,
            const std::vector<std::vector<PlotColumn>>& columns, double low, double high);
// The marks in the time window [from, to).
void Marks(QPainter& painter, const QRect& plot, const std::deque<PlotMark>& marks, double from,
           double to);
// The channels' names and units in their colours along the top; `paused`,
// when not empty, at the right in red.
void Legend(QPainter& painter, const QRect& plot, const std::vector<PlotChannel>& channels,
            const QColor& text, const QString& paused);
// A vertical line at `x`, which stands for `seconds`, with that time and
// each channel's latest value at or before it.
void Cursor(QPainter& painter, const QRect& plot, int x, double seconds,
            const std::vector<PlotChannel>& channels, const QColor& text);

}  // namespace plotpaint

}  // namespace k57
