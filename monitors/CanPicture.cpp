#include "CanPicture.h"

#include <QFont>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "CanGlyphs.h"

namespace k57 {

namespace CanPicture {

namespace {

using Ink = CanGlyphs::Ink;
enum Colour : size_t { kBlack, kBlue, kGrey };

// The one set of cells, for the font, background and pixel ratio in use.
CanGlyphs& GlyphsFor(const QFont& font, QColor background, qreal ratio) {
    static const CanGlyphs::Colours colours{QColor(Qt::black), kChanged, kRetired};
    static std::unique_ptr<CanGlyphs> glyphs;
    if (!glyphs || !glyphs->Suits(font, colours, background, ratio)) {
        glyphs = std::make_unique<CanGlyphs>(font, colours, background, ratio);
    }
    return *glyphs;
}

// One entry, into `image`, the piece of the picture at `origin`.
void Entry(CanGlyphs& glyphs, QImage& image, QPoint origin, int top, const CanRecord& r,
           View view) {
    char text[32];
    auto put = [&](int x, int y, Ink ink) { glyphs.Put(image, origin, x, y, text, ink); };
    int second = top + kSecondRow;
    if (r.extended) {
        // Eight digits leave no room for the length code: it leads the stamp.
        std::snprintf(text, sizeof text, "%8.8X", unsigned(r.id));
        put(kLeft, top, Ink{});
        std::snprintf(text, sizeof text, "%1.1X %d", r.dlc, int(r.stamp));
        put(kLeft, second, Ink{});
    } else {
        std::snprintf(text, sizeof text, "%3.3X: %1.1X", unsigned(r.id), r.dlc);
        put(kLeft, top, Ink{});
        std::snprintf(text, sizeof text, "%d", int(r.stamp));
        put(kLeft, second, Ink{});
    }
    int columns = r.remote ? 0 : r.Columns();
    for (int j = 0; j < columns; ++j) {
        std::snprintf(text, sizeof text, "%2.2X", r.data[j]);
        put(kFirstByte + kBytePitch * j, top, Ink{});
    }
    Ink ink;
    text[1] = 0;
    for (int k = 0; k < columns; ++k) {
        for (int n = 0; n < 8; ++n) {
            uint8_t bit = uint8_t(0x80 >> n);
            text[0] = (r.data[k] & bit) ? '1' : '0';
            if (r.mask[k] & bit) {
                bool changed = r.changed[k] & bit;
                ink = Ink{changed, changed ? kBlue : kBlack};
            } else if (view == View::Table) {
                text[0] = 'x';  // retired: drawn as the previous bit was
            } else {
                ink.colour = kGrey;
            }
            put(kFirstByte + kBytePitch * k + kBitPitch * n, second, ink);
        }
    }
}

int Device(int x, qreal ratio) {
    return CanGlyphs::DevicePixels(x, ratio);
}

// A black line one pixel high at picture row `y`, from the left edge to
// `width`, into the piece at `origin`.
void Separator(QImage& image, QPoint origin, int y, int width, qreal ratio) {
    int first = Device(y, ratio) - Device(origin.y(), ratio);
    int end = std::max(first + 1, Device(y + 1, ratio) - Device(origin.y(), ratio));
    int right = std::min(image.width(), Device(width, ratio) - Device(origin.x(), ratio));
    for (int row = std::max(first, 0); row < std::min(end, image.height()); ++row) {
        auto* pixels = reinterpret_cast<QRgb*>(image.scanLine(row));
        std::fill(pixels, pixels + std::max(right, 0), qRgb(0, 0, 0));
    }
}

}  // namespace

std::vector<std::pair<size_t, size_t>> DamagedRuns(const std::vector<size_t>& rows,
                                                   size_t movedFrom, size_t shownFirst,
                                                   size_t shownEnd) {
    std::vector<std::pair<size_t, size_t>> runs;
    size_t movedStart = std::max(movedFrom, shownFirst);
    auto add = [&](size_t first, size_t end) {
        if (!runs.empty() && runs.back().second == first) {
            runs.back().second = end;  // neighbours make one run
        } else {
            runs.emplace_back(first, end);
        }
    };
    for (auto row = std::lower_bound(rows.begin(), rows.end(), shownFirst);
         row != rows.end() && *row < std::min(shownEnd, movedStart); ++row) {
        add(*row, *row + 1);
    }
    if (movedStart < shownEnd) {
        add(movedStart, shownEnd);
    }
    return runs;
}

void Paint(QPainter& p, const QRect& area, int width, const std::vector<CanRecord>& rows, View view,
           const QColor& background) {
    // The piece is drawn off the screen in device pixels and copied in one
    // block, the characters taken from cells drawn once.
    qreal ratio = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    QImage image(QSize(Device(area.width(), ratio), Device(area.height(), ratio)),
                 QImage::Format_RGB32);
    if (image.isNull()) {
        return;
    }
    image.fill(background);
    QFont font("Courier");
    font.setPointSize(8);
    CanGlyphs& glyphs = GlyphsFor(font, background, ratio);
    int first = std::max(0, area.top() / kRowPitch);
    int last = std::min(int(rows.size()) - 1, area.bottom() / kRowPitch);
    for (int i = first; i <= last; ++i) {
        int top = kRowPitch * i;
        Entry(glyphs, image, area.topLeft(), top, rows[size_t(i)], view);
        Separator(image, area.topLeft(), top + kSeparator, width, ratio);
    }
    image.setDevicePixelRatio(ratio);
    p.drawImage(area.topLeft(), image);
}

}  // namespace CanPicture

}  // namespace k57
