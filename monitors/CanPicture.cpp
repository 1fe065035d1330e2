#include "CanPicture.h"

#include <QFont>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "CanGlyphs.h"

namespace k57 {

namespace CanPicture {

namespace {

using Ink = CanGlyphs::Ink;
enum Colour : size_t { kBlack, kBlue, kGrey, kQuiet, kNoteInk };

static_assert(CanGlyphs::kGrounds == TableLook::kHeatLevels, "a ground for every heat level");

// Pale to red; readable under black and blue digits.
const std::array<QColor, TableLook::kHeatLevels> kHeat{QColor(),
                                                       QColor(255, 246, 204),
                                                       QColor(255, 232, 160),
                                                       QColor(255, 212, 120),
                                                       QColor(255, 184, 96),
                                                       QColor(255, 150, 80),
                                                       QColor(250, 112, 72),
                                                       QColor(236, 72, 64)};

// The one set of cells, for the font, background and pixel ratio in use.
CanGlyphs& GlyphsFor(const QFont& font, QColor background, qreal ratio) {
    static const CanGlyphs::Colours colours{QColor(Qt::black), kChanged, kRetired, kSilent, kNote};
    static std::unique_ptr<CanGlyphs> glyphs;
    CanGlyphs::Grounds grounds;
    std::copy(kHeat.begin(), kHeat.end(), grounds.begin());
    grounds[0] = background;
    if (!glyphs || !glyphs->Suits(font, colours, grounds, ratio)) {
        glyphs = std::make_unique<CanGlyphs>(font, colours, grounds, ratio);
    }
    return *glyphs;
}

int Device(int x, qreal ratio) {
    return CanGlyphs::DevicePixels(x, ratio);
}

// Fills `rect` of the picture with `colour`, what of it lies in `image`,
// the piece of the picture at `origin`; at least a device pixel high.
void Fill(QImage& image, QPoint origin, const QRect& rect, QRgb colour, qreal ratio) {
    const int top = Device(rect.top(), ratio) - Device(origin.y(), ratio);
    const int bottom =
        std::max(top + 1, Device(rect.top() + rect.height(), ratio) - Device(origin.y(), ratio));
    const int left = std::max(0, Device(rect.left(), ratio) - Device(origin.x(), ratio));
    const int right = std::min(
        image.width(), Device(rect.left() + rect.width(), ratio) - Device(origin.x(), ratio));
    for (int row = std::max(top, 0); row < std::min(bottom, image.height()); ++row) {
        auto* pixels = reinterpret_cast<QRgb*>(image.scanLine(row));
        std::fill(pixels + std::min(left, right), pixels + std::max(right, 0), colour);
    }
}

// What an entry of the table draws from the statistics.
struct Extra {
    const TableLook* look = nullptr;
    const BusStatistics::Identifier* ident = nullptr;
    int64_t nowUs = 0;
    bool silent = false;
};

// The rate and period at the end of the first row, right-aligned to the
// picture's edge and clear of the last byte's digits; only the rate when
// both do not fit. At the window's own width about ten characters fit
// after an eighth byte.
void Rate(CanGlyphs& glyphs, QImage& image, QPoint origin, int top, int width, int columns,
          const BusStatistics::Identifier& ident, Ink ink) {
    const qreal right = width - 2;
    const qreal room = columns > 0
                           ? kFirstByte + kBytePitch * (columns - 1) + glyphs.Width("00", ink) + 3
                           : kFirstByte;
    std::string text = RateText(ident, true);
    if (right - glyphs.Width(text, ink) < room) {
        text = RateText(ident, false);
    }
    glyphs.Put(image, origin, std::max(room, right - glyphs.Width(text, ink)), top, text, ink);
}

// One entry, into `image`, the piece of the picture at `origin`.
void Entry(CanGlyphs& glyphs, QImage& image, QPoint origin, int top, int width, const CanRecord& r,
           View view, const Extra& extra) {
    char text[32];
    const Ink plain{false, extra.silent ? kQuiet : kBlack};
    auto put = [&](int x, int y, Ink ink) { glyphs.Put(image, origin, x, y, text, ink); };
    int second = top + kSecondRow;
    if (r.extended) {
        // Eight digits leave no room for the length code: it leads the stamp.
        std::snprintf(text, sizeof text, "%8.8X", unsigned(r.id));
        put(kLeft, top, plain);
        std::snprintf(text, sizeof text, "%1.1X %d", r.dlc, int(r.stamp));
        put(kLeft, second, plain);
    } else {
        std::snprintf(text, sizeof text, "%3.3X: %1.1X", unsigned(r.id), r.dlc);
        put(kLeft, top, plain);
        std::snprintf(text, sizeof text, "%d", int(r.stamp));
        put(kLeft, second, plain);
    }
    int columns = r.remote ? 0 : r.Columns();
    for (int j = 0; j < columns; ++j) {
        std::snprintf(text, sizeof text, "%2.2X", r.data[j]);
        put(kFirstByte + kBytePitch * j, top, plain);
    }
    const TableLook* look = extra.look;
    if (look && look->rate && extra.ident) {
        Rate(glyphs, image, origin, top, width, columns, *extra.ident,
             Ink{false, extra.silent ? kQuiet : kNoteInk});
    }
    Ink ink = plain;
    text[1] = 0;
    for (int k = 0; k < columns; ++k) {
        for (int n = 0; n < 8; ++n) {
            uint8_t bit = uint8_t(0x80 >> n);
            int x = kFirstByte + kBytePitch * k + kBitPitch * n;
            text[0] = (r.data[k] & bit) ? '1' : '0';
            if (r.mask[k] & bit) {
                bool changed = look ? look->Marked(r, extra.ident, k, n, extra.nowUs)
                                    : (r.changed[k] & bit) != 0;
                ink = Ink{changed, changed ? kBlue : kBlack};
            } else if (view == View::Table) {
                text[0] = 'x';  // retired: drawn as the previous bit was
            } else {
                ink.colour = kGrey;
            }
            ink.ground = 0;
            if (extra.silent) {
                ink.colour = kQuiet;
            } else if (look) {
                ink.ground = size_t(look->Heat(extra.ident, k, n));
                if (ink.ground != 0) {
                    Fill(image, origin, QRect(x, second, kBitPitch - 1, glyphs.LineHeight()),
                         kHeat[ink.ground].rgb(), glyphs.ratio());
                }
            }
            put(x, second, ink);
        }
    }
}

}  // namespace

QColor HeatColour(int level) {
    return level > 0 && level < int(kHeat.size()) ? kHeat[size_t(level)] : QColor();
}

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
           const QColor& background, const Table& table) {
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
    const bool extras = view == View::Table && table.rows && table.statistics;
    const size_t count = extras ? table.rows->size(rows) : rows.size();
    int first = std::max(0, area.top() / kRowPitch);
    int last = std::min(int(count) - 1, area.bottom() / kRowPitch);
    for (int i = first; i <= last; ++i) {
        int top = kRowPitch * i;
        Extra extra;
        const CanRecord* record = extras ? table.rows->At(size_t(i), rows) : &rows[size_t(i)];
        if (extras) {
            if (!record) {
                continue;  // gone since the rows' update; the next one redraws
            }
            extra.look = &table.rows->look();
            extra.ident = table.statistics->Find(record->Key());
            extra.nowUs = table.rows->now();
            extra.silent = extra.look->Silent(extra.ident, extra.nowUs);
        }
        Entry(glyphs, image, area.topLeft(), top, width, *record, view, extra);
        Fill(image, area.topLeft(), QRect(0, top + kSeparator, width, 1), qRgb(0, 0, 0), ratio);
    }
    image.setDevicePixelRatio(ratio);
    p.drawImage(area.topLeft(), image);
}

}  // namespace CanPicture

}  // namespace k57
