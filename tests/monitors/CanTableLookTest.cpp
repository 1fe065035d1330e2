// The CAN monitor's table with its added look: heat tints and their
// palette, held changes, silent rows grey or hidden, rates and periods;
// chosen in the companion window and remembered; a hold that ends with no
// frame coming still repaints its row.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <chrono>
#include <fstream>

#include "CanHuntForm.h"
#include "CanMonitorSettings.h"
#include "CanMonitorWindow.h"
#include "PixelProbe.h"
#include "Settle.h"
#include "WindowProbe.h"

namespace {

using k57::TableLook;
using k57::test::Cell;
using k57::test::Count;
namespace CanPicture = k57::CanPicture;

// Pixels of any heat tint.
int Tinted(const QImage& image) {
    int count = 0;
    for (int level = 1; level < TableLook::kHeatLevels; ++level) {
        count += Count(image, CanPicture::HeatColour(level).rgb());
    }
    return count;
}

// The darkest channel of any pixel: text drawn in a grey blends from that
// grey towards the ground, never darker.
int Darkest(const QImage& image) {
    int darkest = 255;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            QRgb p = image.pixel(x, y);
            darkest = std::min({darkest, qRed(p), qGreen(p), qBlue(p)});
        }
    }
    return darkest;
}

// Pixels other than `ground`.
int Marks(const QImage& image, const QColor& ground) {
    return image.width() * image.height() - Count(image, ground.rgb());
}

TEST(CanPicture, HeatGoesFromPaleToRed) {
    EXPECT_FALSE(CanPicture::HeatColour(0).isValid());
    EXPECT_FALSE(CanPicture::HeatColour(TableLook::kHeatLevels).isValid());
    for (int level = 2; level < TableLook::kHeatLevels; ++level) {
        QColor cooler = CanPicture::HeatColour(level - 1), hotter = CanPicture::HeatColour(level);
        EXPECT_LT(hotter.lightness(), cooler.lightness()) << level;
        EXPECT_GE(hotter.red(), 230) << level;
        EXPECT_LT(hotter.green(), cooler.green()) << level;
    }
}

// The picture of two identifiers after a second: 0x100 every 10 ms, its
// lowest bit flipping in every frame, and 0x200 once, long quiet.
TEST(CanPicture, TheLookTintsGreysAndAddsTheRate) {
    k57::CanCapture capture;
    k57::BusStatistics statistics;
    CanRecord r;
    r.dlc = 8;
    auto frame = [&](uint32_t id, int64_t us, uint8_t byte0) {
        r.id = id;
        r.data[0] = byte0;
        capture.HandleFrame(r, k57::FilterMode::None, false);
        statistics.Add(k57::LogEntry(r, us));
    };
    frame(0x200, 0, 0);
    for (int i = 0; i <= 100; ++i) {
        frame(0x100, i * 10'000, uint8_t(i & 1));
    }
    TableLook look;
    look.heat = look.rate = true;
    look.silence = TableLook::Silence::Grey;
    look.quietUs = 500'000;
    k57::TableRows rows;
    rows.SetLook(look);
    rows.Update(capture.TakeDamage(), capture.Records(), statistics, 1'000'000);

    QImage image(660, 72, QImage::Format_RGB32);
    QPainter painter(&image);
    CanPicture::Paint(painter, image.rect(), image.width(), capture.Records(),
                      CanPicture::View::Table, Qt::white, {&rows, &statistics});
    painter.end();
    QImage hot = Cell(image, 0, 7);
    EXPECT_GT(Count(hot, CanPicture::HeatColour(TableLook::kHeatLevels - 1).rgb()), 40);
    EXPECT_EQ(Tinted(Cell(image, 0, 6)), 0);  // never flipped
    // "100/s 10ms" after the last byte's digits, to the edge.
    QImage rate = image.copy(590, 0, 70, 14);
    EXPECT_GT(Marks(rate, Qt::white), 20);
    EXPECT_GE(Darkest(rate), CanPicture::kNote.red());  // grey, not black
    // 0x200 is silent: grey all over, untinted.
    QImage quiet = image.copy(0, 36, 660, 30);
    EXPECT_GT(Marks(quiet, Qt::white), 50);
    EXPECT_GE(Darkest(quiet), CanPicture::kSilent.red());
    EXPECT_EQ(Tinted(quiet), 0);

    // The same records without the look: the picture as it always was.
    QImage plain(660, 72, QImage::Format_RGB32), bare(660, 72, QImage::Format_RGB32);
    {
        QPainter p(&plain);
        k57::TableRows off;
        off.Update({}, capture.Records(), statistics, 1'000'000);
        CanPicture::Paint(p, plain.rect(), plain.width(), capture.Records(),
                          CanPicture::View::Table, Qt::white, {&off, &statistics});
    }
    {
        QPainter p(&bare);
        CanPicture::Paint(p, bare.rect(), bare.width(), capture.Records(), CanPicture::View::Table,
                          Qt::white);
    }
    EXPECT_EQ(plain, bare);
}

class CanTableLookTest : public k57::test::CanMonitorWindow {
  protected:
    void SetUp() override {
        CanMonitorWindow::SetUp();
        form->ShowHunt();
        hunt = form->findChild<TCanHuntForm*>("CanHuntForm");
    }

    template <typename T>
    T* Control(const char* name) {
        return k57::test::Child<T>(*hunt, name);
    }
    QWidget* Panel() { return k57::test::Child<QWidget>(*form, "Panel1"); }
    QColor Ground() { return Panel()->palette().color(Panel()->backgroundRole()); }
    QImage Row(int row) {
        return Panel()
            ->grab(QRect(0, 36 * row, Panel()->width(), 36))
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }

    TCanHuntForm* hunt = nullptr;
};

// Ten seconds of 0x100 every 100 ms (its lowest bit flips in every frame, the
// top bit of its second byte sets at 9.5 s) and of 0x200 for the first two.
std::string Recording(const std::string& dir) {
    std::string path = dir + "/look.log";
    std::ofstream log(path);
    for (int i = 0; i <= 100; ++i) {
        char line[80];
        std::snprintf(line, sizeof line, "(1700000%03d.%06d) can0 100#%02X%02X000000000000\n",
                      i / 10, i % 10 * 100'000, i & 1, i >= 95 ? 0x80 : 0);
        log << line;
        if (i <= 20) {
            std::snprintf(line, sizeof line, "(1700000%03d.%06d) can0 200#0000000000000000\n",
                          i / 10, i % 10 * 100'000 + 1);
            log << line;
        }
    }
    return path;
}

TEST_F(CanTableLookTest, ARecordingShowsHeatHoldRateAndItsSilentRowHiddenOrGrey) {
    Control<QCheckBox>("HeatBox")->setChecked(true);
    Control<QCheckBox>("RateBox")->setChecked(true);
    Control<QCheckBox>("HoldBox")->setChecked(true);  // 1 s unless told
    Control<QComboBox>("SilenceBox")->setCurrentIndex(int(TableLook::Silence::Hidden));
    Control<QComboBox>("SpeedBox")->setCurrentIndex(2);  // at once
    dialogs.files.push_back(QString::fromStdString(Recording(dir.path())));
    hunt->OpenButtonClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->frames().size() == 122; }, 30000));
    form->Timer2Timer();

    // 0x200, quiet for 8 s of the recording, is left out.
    ASSERT_EQ(Panel()->height(), 36);
    QImage row = Row(0);
    EXPECT_GT(Count(Cell(row, 0, 7), CanPicture::HeatColour(TableLook::kHeatLevels - 1).rgb()), 40);
    EXPECT_EQ(Tinted(Cell(row, 2, 0)), 0);
    EXPECT_GT(Count(Cell(row, 1, 0), CanPicture::kChanged.rgb()), 0);  // set 0.5 s ago: held
    EXPECT_GT(Marks(row.copy(590, 0, 60, 14), Ground()), 10);          // "10/s 100ms"

    // Grey instead: back in its row, grey.
    Control<QComboBox>("SilenceBox")->setCurrentIndex(int(TableLook::Silence::Grey));
    form->Timer2Timer();
    ASSERT_EQ(Panel()->height(), 72);
    QImage quiet = Row(1).copy(0, 0, Panel()->width(), 30);  // above its separator
    EXPECT_GT(Marks(quiet, Ground()), 50);
    EXPECT_GE(Darkest(quiet), std::min(CanPicture::kSilent.red(), Ground().red()));

    // No hold: the latest frame did not change that bit.
    Control<QCheckBox>("HoldBox")->setChecked(false);
    form->Timer2Timer();
    EXPECT_EQ(Count(Cell(Row(0), 1, 0), CanPicture::kChanged.rgb()), 0);

    // Remembered: the next run's monitor draws so from the start.
    Control<QDoubleSpinBox>("HoldEdit")->setValue(2.5);
    Control<QSpinBox>("QuietEdit")->setValue(7);
    k57::CanMonitorSettings::TableChoices saved = k57::CanMonitorSettings::Table();
    EXPECT_TRUE(saved.heat && saved.rate && !saved.hold);
    EXPECT_EQ(saved.holdMs, 2500);
    EXPECT_EQ(saved.silence, TableLook::Silence::Grey);
    EXPECT_EQ(saved.quietS, 7);
    TCanMonitorForm again(session);
    EXPECT_TRUE(again.table().look() == saved.Look());
    again.ShowHunt();
    auto* next = again.findChild<TCanHuntForm*>("CanHuntForm");
    EXPECT_EQ(next->findChild<QSpinBox*>("QuietEdit")->value(), 7);
    EXPECT_EQ(next->findChild<QComboBox*>("SilenceBox")->currentIndex(), 1);
}

// Counts the paints of the panel that reach its first row.
class FirstRowPaints : public QObject {
  public:
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint &&
            static_cast<QPaintEvent*>(event)->region().intersects(QRect(0, 0, 600, 36))) {
            ++count;
        }
        return false;
    }
};

TEST_F(CanTableLookTest, AHoldEndsOnTheScreenWithNoFrameAndHiddenRowsComeBackWithFrames) {
    std::string log = dir.path() + "/steady.log";
    {
        std::ofstream out(log);
        for (int i = 0; i < 100; ++i) {
            out << "(1700000000." << 100000 + i * 10000 << ") can0 123#0000000000000000\n";
        }
    }
    k57::sim::UnitOptions options;
    options.canLog = log;
    options.canFlip = {0x123, false, 0, 7};
    k57::sim::Unit& unit = Plug(5, options);
    // A hold long enough to be seen on a busy machine before it ends.
    Control<QCheckBox>("HoldBox")->setChecked(true);
    Control<QDoubleSpinBox>("HoldEdit")->setValue(4);
    auto* port = k57::test::Child<QPushButton>(*form, "PortButton");
    port->click();
    ASSERT_TRUE(k57::test::Settle(session));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->capture().Records().size() == 1; }, 30000));

    using Clock = std::chrono::steady_clock;
    const Clock::time_point flipped = Clock::now();
    unit.flipCanBit();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return form->capture().Records()[0].data[0] == 0x80; }, 30000));
    port->click();  // no more frames
    ASSERT_TRUE(k57::test::Settle(session));
    // The next display tick draws the change held.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return Count(Cell(Row(0), 0, 0), CanPicture::kChanged.rgb()) > 0; }, 3000));

    // Paints that still show the hold repair the last frames' damage; the
    // one that clears it comes with no frame, when the hold runs out.
    FirstRowPaints paints;
    bool cleared = false;
    while (!cleared) {
        paints.count = 0;
        Panel()->installEventFilter(&paints);
        bool painted = QTest::qWaitFor([&] { return paints.count > 0; }, 30000);
        Panel()->removeEventFilter(&paints);  // the look below paints too
        ASSERT_TRUE(painted);
        cleared = Count(Cell(Row(0), 0, 0), CanPicture::kChanged.rgb()) == 0;
    }
    EXPECT_GE(Clock::now() - flipped, std::chrono::milliseconds(3500));

    // Hidden after a quiet second; back with the channel's next frames.
    Control<QSpinBox>("QuietEdit")->setValue(1);
    Control<QComboBox>("SilenceBox")->setCurrentIndex(int(TableLook::Silence::Hidden));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Panel()->height() == 0; }, 30000));
    port->click();
    ASSERT_TRUE(k57::test::Settle(session));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Panel()->height() == 36; }, 30000));
}

}  // namespace
