// Measures the CAN monitor: frames per second through the capture model with
// 4096 identifiers, and the time of one display tick with 4096 identifiers
// and with 100, against the bus's own ceiling of about 8,000 frames a second
// at 1 Mbit/s.
//
//   build/default/bench/can_bench

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <string>
#include <vector>

#include "CanMonitorForm.h"

namespace {

constexpr double kBusFramesPerSecond = 8000;

std::vector<std::string> FrameLines(int identifiers, int count) {
    std::vector<std::string> lines;
    lines.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        char line[32];
        unsigned long long data = 0x0123456789ABCDEFULL ^ (1ULL << (i % 64)) ^ (unsigned(i) / 4096);
        std::snprintf(line, sizeof line, "t%03X8%016llX%04X\r", unsigned(i % identifiers), data,
                      unsigned(i & 0xFFFF));
        lines.push_back(line);
    }
    return lines;
}

double ModelFramesPerSecond(k57::FilterMode mode) {
    std::vector<std::string> lines = FrameLines(4096, 2'000'000);
    k57::CanCapture capture;
    QElapsedTimer clock;
    clock.start();
    for (const std::string& line : lines) {
        capture.HandleLine(line, mode, false);
    }
    return double(lines.size()) / (clock.nsecsElapsed() / 1e9);
}

double TickMilliseconds(TCanMonitorForm& form, int identifiers) {
    form.capture().ClearRecords();
    for (const std::string& line : FrameLines(identifiers, identifiers)) {
        form.capture().HandleLine(line, k57::FilterMode::None, false);
    }
    QWidget* panel = form.findChild<QWidget*>("Panel1");
    QWidget* viewport = panel->parentWidget();
    const int ticks = 200;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < ticks; ++i) {
        form.Timer2Timer();
        // The tick's drawing, done now rather than queued: what the scroll
        // box shows, from the middle of the table.
        QRect shown(0, panel->height() / 2, panel->width(), viewport->height());
        panel->grab(shown);
    }
    return clock.nsecsElapsed() / 1e6 / ticks;
}

double WholePictureMilliseconds(const k57::CanCapture& capture, int width) {
    const int strip = 36 * 64;
    QImage image(width, strip, QImage::Format_RGB32);
    QElapsedTimer clock;
    clock.start();
    int height = 36 * int(capture.Records().size());
    for (int top = 0; top < height; top += strip) {
        QPainter painter(&image);
        painter.translate(0, -top);
        k57::CanPicture::Paint(painter, QRect(0, top, width, strip), width, capture.Records(),
                               k57::CanPicture::View::Table, Qt::lightGray);
    }
    return clock.nsecsElapsed() / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    k57::DeviceSession session;
    session.Replace();
    TCanMonitorForm form(session);
    form.show();

    double none = ModelFramesPerSecond(k57::FilterMode::None);
    double bit = ModelFramesPerSecond(k57::FilterMode::Bit);
    std::printf("CAN capture model, 4096 identifiers\n");
    std::printf("  no filter:   %10.0f frames/s  (%.0fx the bus)\n", none,
                none / kBusFramesPerSecond);
    std::printf("  bit filter:  %10.0f frames/s  (%.0fx the bus)\n", bit,
                bit / kBusFramesPerSecond);

    double large = TickMilliseconds(form, 4096);
    double whole =
        WholePictureMilliseconds(form.capture(), form.findChild<QWidget*>("Panel1")->width());
    double small = TickMilliseconds(form, 100);
    std::printf("display tick (every 100 ms), visible part drawn\n");
    std::printf("  4096 identifiers: %6.2f ms  (%.1f %% of the tick interval)\n", large, large);
    std::printf("   100 identifiers: %6.2f ms  (%.1f %% of the tick interval)\n", small, small);
    std::printf("  whole picture, 4096 identifiers, for comparison: %.1f ms\n", whole);
    return 0;
}
