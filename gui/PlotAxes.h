#pragma once

#include <QPixmap>
#include <QRect>
#include <QString>
#include <vector>

#include "ColumnReduction.h"

class QColor;
class QPainter;
class QPalette;

namespace k57 {

// The plot's axes: the room their labels take around the plot area, steps
// at round numbers and their labels, and the value axis's range.
namespace plotaxes {

// Where the plot itself goes in `area`: the rest holds the labels.
QRect PlotArea(const QRect& area);

// A round step that splits `range` into about `parts`: 1, 2 or 5 times a
// power of ten.
double TickStep(double range, int parts);
// A tick's label with as many decimals as the step needs.
QString TickText(double value, double step);
// A value as the cursor reads it out.
QString ValueText(double value);

// Autoscale: the range of the visible columns with a little room; a flat
// line gets a range around it, nothing at all -1 to 1.
void Autoscale(const std::vector<std::vector<PlotColumn>>& columns, double& low, double& high);

// The time labels and the vertical grid below them.
void DrawTimeAxis(QPainter& painter, const QRect& plot, double from, double to, const QColor& text);

// The background, the frame, the value labels and the horizontal grid.
class ValueAxis {
  public:
    // Covers the whole of `area`, everything under the traces.
    void Draw(QPainter& painter, const QRect& area, const QRect& plot, double low, double high,
              const QPalette& palette);

  private:
    // As last drawn: it changes only with the scale and the size.
    QPixmap cache_;
    QRect cacheArea_;
    double cacheLow_ = 0, cacheHigh_ = 0;
};

}  // namespace plotaxes

}  // namespace k57
