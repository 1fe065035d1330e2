#pragma once

#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "ColumnReduction.h"
#include "PlotAxes.h"
#include "PlotData.h"
#include "PlotPainter.h"  // PlotColour

namespace k57 {

class DialogService;

// A plot of a PlotData's channels over time, drawn with QPainter: each
// channel reduced to its minimum and maximum per pixel column, the value
// axis and its grid cached until the scale or the size changes, and a
// repaint at most every kRefreshMs, only when the data or the view changed.
//
// Live, the plot follows the newest samples over a span of time; paused
// (Space, or dragging), it stays where it is. The wheel zooms the time axis
// around the pointer, Shift+wheel the value axis (which then stays fixed
// until autoscale is chosen again); dragging pans. The pointer's time and
// each channel's value there are read out beside a cursor line. Marks are
// dashed vertical lines with their labels. The context menu exports the
// picture as PNG and the data as CSV.
class PlotWidget : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kRefreshMs = 100;
    static constexpr double kDefaultSpan = 10;  // seconds

    explicit PlotWidget(QWidget* parent = nullptr);

    // What to show; not owned, nullptr for nothing. The data may change
    // between refreshes but not during a paint.
    void SetData(const PlotData* data);
    const PlotData* data() const { return data_; }
    // Where the exports ask for their files; not owned.
    void SetDialogs(DialogService* dialogs) { dialogs_ = dialogs; }

    void SetPaused(bool paused);
    bool paused() const { return paused_; }
    // Seconds the time axis spans.
    void SetSpan(double seconds);
    double span() const { return span_; }
    // Paused over everything held.
    void ShowAll();
    void SetAutoscale(bool on);
    bool autoscale() const { return autoscale_; }
    void SetFixedScale(double low, double high);
    // The time axis now: [from, to) in seconds.
    void TimeWindow(double& from, double& to) const;
    // The value axis as the last paint drew it.
    double scaleLow() const { return yLow_; }
    double scaleHigh() const { return yHigh_; }

    // Draws the plot as it is into `area` of `painter` (the widget's paint
    // does; so can a benchmark onto an image).
    void Paint(QPainter& painter, const QRect& area);

    bool ExportPng(const QString& path, QString& error);
    bool ExportCsv(const QString& path, QString& error) const;

  public slots:
    // Asks for a repaint when the data or the view changed since the last.
    void Refresh();
    // Ask for a file and export to it.
    void SavePng();
    void SaveCsv();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    double TimeAtX(int x) const;
    void ViewChanged();

    const PlotData* data_ = nullptr;
    DialogService* dialogs_ = nullptr;
    QTimer refresh_;
    uint64_t paintedGeneration_ = UINT64_MAX;
    bool viewChanged_ = true;

    bool paused_ = false;
    double span_ = kDefaultSpan;
    double end_ = 0;  // the right edge while paused
    bool autoscale_ = true;
    double yLow_ = -1, yHigh_ = 1;

    int cursorX_ = -1;
    int dragX_ = -1;
    double dragEnd_ = 0;
    QRect lastPlot_;  // where the last paint put the plot area

    plotaxes::ValueAxis valueAxis_;  // its picture kept between paints
};

}  // namespace k57
