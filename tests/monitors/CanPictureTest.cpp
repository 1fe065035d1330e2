#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "CanPicture.h"
#include "PixelProbe.h"

// The CAN monitor's picture drawn on its own, pixel by pixel: which bits
// are bold, blue, grey or crossed, and which rows a change repaints.

namespace {

QImage Render(const std::vector<CanRecord>& rows, k57::CanPicture::View view, int height = 36) {
    QImage image(400, height, QImage::Format_RGB32);
    QPainter painter(&image);
    k57::CanPicture::Paint(painter, image.rect(), image.width(), rows, view, Qt::white);
    return image;
}

using k57::test::Cell;
using k57::test::Count;
using k57::test::Ink;

TEST(CanPicture, AChangedBitIsBoldAndBlue) {
    CanRecord r;
    r.id = 0x1A0;
    r.dlc = 2;
    r.data[0] = 0x80;
    std::vector<CanRecord> before{r};
    r.changed[0] = 0x80;
    QImage plain = Render(before, k57::CanPicture::View::Table);
    QImage changed = Render({r}, k57::CanPicture::View::Table);
    EXPECT_GT(Count(Cell(changed, 0, 0), qRgb(0, 0, 255)), 0);
    EXPECT_GT(Ink(Cell(changed, 0, 0)), Ink(Cell(plain, 0, 0)));
    EXPECT_EQ(Count(Cell(plain, 0, 0), qRgb(0, 0, 255)), 0);
    EXPECT_EQ(Cell(changed, 0, 1), Cell(plain, 0, 1));                  // the other bits stay black
    EXPECT_EQ(Ink(Cell(changed, 2, 0)), 0);                             // two byte columns only
    EXPECT_EQ(Count(changed.copy(0, 31, 400, 1), qRgb(0, 0, 0)), 400);  // separator
}

TEST(CanPicture, ARetiredBitIsAnXInTheTableAndGreyInTheCapture) {
    CanRecord r;
    r.dlc = 1;
    r.data[0] = 0x40;
    r.mask[0] = 0xBF;  // bit 0x40 retired
    CanRecord zero = r, one = r;
    zero.mask[0] = one.mask[0] = 0xFF;
    zero.data[0] = 0;
    QImage table = Render({r}, k57::CanPicture::View::Table);
    QImage capture = Render({r}, k57::CanPicture::View::Capture);
    QImage cellX = Cell(table, 0, 1);
    EXPECT_GT(Ink(cellX), 0);
    EXPECT_NE(cellX, Cell(Render({zero}, k57::CanPicture::View::Table), 0, 1));
    EXPECT_NE(cellX, Cell(Render({one}, k57::CanPicture::View::Table), 0, 1));
    QImage grey = Cell(capture, 0, 1);
    EXPECT_GT(Ink(grey), 0);
    int darkest = 255;
    for (int y = 0; y < grey.height(); ++y) {
        for (int px = 0; px < grey.width(); ++px) {
            darkest = std::min({darkest, qRed(grey.pixel(px, y)), qGreen(grey.pixel(px, y))});
        }
    }
    EXPECT_GE(darkest, 208);  // light grey, blended only towards the white ground
    // Its real value: the retired bit is a 1, drawn like a 1 in grey.
    EXPECT_NE(grey, Cell(Render({zero}, k57::CanPicture::View::Capture), 0, 1));
}

TEST(CanPicture, AScaledScreenGetsTheSameLayoutInItsOwnPixels) {
    CanRecord r;
    r.dlc = 2;
    r.data[1] = 0x01;
    r.changed[1] = 0x01;
    QImage image(800, 72, QImage::Format_RGB32);
    image.setDevicePixelRatio(2);
    QPainter painter(&image);
    k57::CanPicture::Paint(painter, QRect(0, 0, 400, 36), 400, {r}, k57::CanPicture::View::Table,
                           Qt::white);
    painter.end();
    image.setDevicePixelRatio(1);
    // The changed last bit of byte 1, in blue where it lies at twice the size.
    EXPECT_GT(Count(image.copy(2 * (65 + 72 + 56), 30, 16, 30), qRgb(0, 0, 255)), 0);
    EXPECT_EQ(Count(image.copy(0, 62, 800, 2), qRgb(0, 0, 0)), 1600);            // separator
    EXPECT_EQ(Ink(image.copy(2 * (65 + 144), 0, 800 - 2 * (65 + 144), 60)), 0);  // two columns
}

TEST(CanPicture, OnlyShownRowsAreRepaintedInRuns) {
    using Runs = std::vector<std::pair<size_t, size_t>>;
    // Rows 10..19 shown: changes elsewhere are not asked for, neighbours merge.
    EXPECT_EQ(k57::CanPicture::DamagedRuns({2, 10, 11, 12, 15, 19, 20, 400}, SIZE_MAX, 10, 20),
              (Runs{{10, 13}, {15, 16}, {19, 20}}));
    // A new identifier moved every row from 14 on.
    EXPECT_EQ(k57::CanPicture::DamagedRuns({11, 13, 16}, 14, 10, 20), (Runs{{11, 12}, {13, 20}}));
    // ... or every row above the shown ones: all shown rows moved.
    EXPECT_EQ(k57::CanPicture::DamagedRuns({}, 3, 10, 20), (Runs{{10, 20}}));
    EXPECT_EQ(k57::CanPicture::DamagedRuns({1, 30}, 25, 10, 20), Runs{});
}

}  // namespace
