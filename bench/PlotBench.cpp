// The plot's cost: a repaint of a 1920-pixel-wide plot over 1,000,000
// points, and of the motion sensor's plot after 10 minutes of 3 channels at
// 100 samples/s, painted onto an image as the widget paints itself.

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "PlotWidget.h"

namespace {

// The median of `runs` paints of `widget` at `width` × `height`, in ms.
double PaintMs(k57::PlotWidget& widget, int width, int height, int runs) {
    QImage image(width, height, QImage::Format_RGB32);
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QPainter painter(&image);
        QElapsedTimer clock;
        clock.start();
        widget.Paint(painter, image.rect());
        times.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    k57::PlotData million;
    int channel = million.AddChannel("signal", "V", 1'000'000);
    for (int i = 0; i < 1'000'000; ++i) {
        million.Add(channel, i * 1e-3, std::sin(i * 1e-3) * 100 + (i % 97) * 0.5);
    }
    k57::PlotWidget wide;
    wide.SetData(&million);
    wide.ShowAll();
    std::printf("1,000,000 points, 1920 px wide: %.2f ms a repaint (target 5 ms)\n",
                PaintMs(wide, 1920, 600, 21));

    k57::PlotData motion;
    for (const char* axis : {"X", "Y", "Z"}) {
        motion.AddChannel(axis, "", 1 << 18);
    }
    const int samples = 100 * 600;
    for (int i = 0; i < samples; ++i) {
        double t = i * 0.01;
        motion.Add(0, t, std::sin(t * 40) * 5);
        motion.Add(1, t, 200 * std::sin(t / 10));
        motion.Add(2, t, 980 + std::cos(t * 33) * 5);
        if (i % 700 == 0) {
            motion.AddMark(t, "$AccE: Shock");
        }
    }
    std::printf("3 channels x 100/s x 10 min (%d samples) held\n", samples * 3);
    k57::PlotWidget live;
    live.SetData(&motion);
    std::printf("  live, last 10 s, 900 x 480: %.2f ms a repaint\n", PaintMs(live, 900, 480, 51));
    live.ShowAll();
    std::printf("  all 10 min, 1920 x 600:     %.2f ms a repaint\n", PaintMs(live, 1920, 600, 21));
    return 0;
}
