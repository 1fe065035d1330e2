// Times a whole firmware update through the main window's real workflow
// against the simulated unit on a link paced to 115200 bit/s, and compares
// it with the wire time of every byte exchanged; then once more with the
// link's trace on, which must cost less than 1 %.
//
//   build/default/bench/firmware_bench

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdio>

#include "MainForm.h"
#include "StoredPort.h"
#include "Trace.h"
#include "Unit.h"

namespace {

constexpr int kBitsPerSecond = 115200;
constexpr int kBitsPerByte = 10;  // start bit, 8 data bits, stop bit

// Says yes to every question.
class Yes : public k57::DialogService {
  public:
    k57::Answer message(QWidget*, const QString&, const QString& text, k57::Buttons b,
                        k57::Answer, k57::Icon) override {
        last = text;
        return b == k57::Buttons::YesNo ? k57::Answer::Yes : k57::Answer::Ok;
    }
    void error(QWidget*, const QString& text) override { last = text; }
    QString openFileName(QWidget*, const QString&, const QString&) override { return {}; }
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString last;
};

// Bytes on the wire, both ways, for the version check, the start, every
// fragment with its acknowledgement and the commit.
long WireBytes(long prefixedImage, size_t versionText) {
    const long frame = 8, fragmentFields = 6;
    long bytes = frame + (frame + 2 + long(versionText));  // version request and reply
    bytes += 2 * frame;                                    // start and its acknowledgement
    long fragments = (prefixedImage + 1023) / 1024;
    bytes += prefixedImage + fragments * (frame + fragmentFields + frame);
    bytes += (frame + 8) + frame;  // commit and its acknowledgement
    return bytes;
}

// Seconds for one update through the window; negative when it failed.
double TimedUpdate(Yes& dialogs, QApplication& app) {
    TMainForm form(dialogs);
    auto* log = form.findChild<QPlainTextEdit*>("Memo1");
    QElapsedTimer clock;
    clock.start();
    form.findChild<QPushButton*>("BlowUpdateButton")->click();
    while (!log->toPlainText().contains("Загрузка закончена.") &&
           !log->toPlainText().contains("Обновление отменено.")) {
        app.processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    double seconds = clock.nsecsElapsed() / 1e9;
    return log->toPlainText().contains("Загрузка закончена.") ? seconds : -1;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The fake unit's backups and updates go into a scratch journal, never
    // into the one of whoever runs the benchmark.
    QTemporaryDir ports, settings, data;
    qputenv("K57_PORTS_DIR", QDir(ports.path()).absolutePath().toUtf8());
    qputenv("K57_DATA_DIR", QDir(data.path()).absolutePath().toUtf8());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    k57::StoredPort::Write("COM5");

    k57::sim::UnitOptions options;
    options.byteRate = kBitsPerSecond / kBitsPerByte;
    k57::sim::Unit unit(options);
    if (!unit.start() || !unit.registerAs(5)) {
        std::fprintf(stderr, "cannot start the simulated unit\n");
        return 1;
    }

    Yes dialogs;
    double seconds = TimedUpdate(dialogs, app);
    k57::Trace::Global().SetOn(true);
    double traced = seconds > 0 ? TimedUpdate(dialogs, app) : -1;
    size_t traceLines = k57::Trace::Global().LineCount();
    k57::Trace::Global().SetOn(false);
    if (seconds < 0 || traced < 0) {
        std::fprintf(stderr, "update failed: %s\n", dialogs.last.toUtf8().constData());
        return 1;
    }

    long bytes = WireBytes(long(unit.image().size()), options.versionText.size());
    double floor = double(bytes) * kBitsPerByte / kBitsPerSecond;
    std::printf("firmware update, %d bit/s link\n", kBitsPerSecond);
    std::printf("  bytes exchanged:  %ld\n", bytes);
    std::printf("  wire-time floor:  %.3f s\n", floor);
    std::printf("  achieved:         %.3f s\n", seconds);
    std::printf("  speed vs floor:   %.1f %%\n", 100.0 * floor / seconds);
    std::printf("  with the trace:   %.3f s (%+.2f %%, %zu lines in the ring)\n", traced,
                100.0 * (traced - seconds) / seconds, traceLines);
    return 0;
}
