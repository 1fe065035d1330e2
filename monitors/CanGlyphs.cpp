#include "CanGlyphs.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace k57 {

int CanGlyphs::DevicePixels(qreal x, qreal ratio) {
    return int(std::lround(x * ratio));
}

CanGlyphs::CanGlyphs(const QFont& font, const Colours& colours, const Grounds& grounds, qreal ratio)
    : font_(font),
      colours_(colours),
      grounds_(grounds),
      ratio_(ratio),
      lineHeight_(int(std::ceil(QFontMetricsF(font).height()))) {}

bool CanGlyphs::Suits(const QFont& font, const Colours& colours, const Grounds& grounds,
                      qreal ratio) const {
    return font == font_ && colours == colours_ && grounds == grounds_ && ratio == ratio_;
}

CanGlyphs::Cell& CanGlyphs::CellFor(char c, Ink ink) {
    if (c < ' ' || c > '~') {
        c = '?';
    }
    const size_t colour = std::min(ink.colour, kColours - 1);
    const size_t ground = std::min(ink.ground, kGrounds - 1);
    if (!cells_[ground]) {
        cells_[ground] = std::make_unique<Set>();
    }
    Cell& cell = (*cells_[ground])[ink.bold][colour][size_t(c - ' ')];
    if (cell.pixels.isNull()) {
        QFont font = font_;
        font.setBold(ink.bold);
        QFontMetricsF metrics(font);
        cell.advance = metrics.horizontalAdvance(QChar(c));
        // A pixel beyond the advance keeps what a glyph's edge spills; the
        // next character's cell covers it when there is one.
        int width = DevicePixels(cell.advance + 1, ratio_);
        int height = DevicePixels(std::ceil(metrics.height()), ratio_);
        cell.pixels = QImage(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
        cell.pixels.setDevicePixelRatio(ratio_);
        cell.pixels.fill(grounds_[ground]);
        QPainter painter(&cell.pixels);
        painter.setFont(font);
        painter.setPen(colours_[colour]);
        painter.drawText(QPointF(0, metrics.ascent()), QString(QChar(c)));
    }
    return cell;
}

void CanGlyphs::Put(QImage& image, QPoint origin, qreal x, int y, std::string_view text, Ink ink) {
    const int top = DevicePixels(y, ratio_) - DevicePixels(origin.y(), ratio_);
    const int originX = DevicePixels(origin.x(), ratio_);
    uchar* bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    for (char c : text) {
        const Cell& cell = CellFor(c, ink);
        const int left = DevicePixels(x, ratio_) - originX;
        x += cell.advance;
        // The part of the cell that lies within the image.
        const int x0 = std::max(0, -left), x1 = std::min(cell.pixels.width(), image.width() - left);
        const int y0 = std::max(0, -top), y1 = std::min(cell.pixels.height(), image.height() - top);
        if (x0 >= x1) {
            continue;
        }
        for (int row = y0; row < y1; ++row) {
            std::memcpy(bits + (top + row) * stride + 4 * (left + x0),
                        cell.pixels.constScanLine(row) + 4 * x0, size_t(4 * (x1 - x0)));
        }
    }
}

qreal CanGlyphs::Width(std::string_view text, Ink ink) {
    qreal width = 0;
    for (char c : text) {
        width += CellFor(c, ink).advance;
    }
    return width;
}

}  // namespace k57
