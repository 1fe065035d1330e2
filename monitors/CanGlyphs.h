#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <array>
#include <string_view>

namespace k57 {

// The CAN picture's characters, each drawn once per ink into a cell on the
// picture's background and then copied into place. A busy table puts
// thousands of characters on the screen a tick; a copy of a few dozen
// pixels costs a fraction of drawing text.
class CanGlyphs {
  public:
    static constexpr size_t kColours = 3;
    using Colours = std::array<QColor, kColours>;
    struct Ink {
        bool bold = false;
        size_t colour = 0;  // of the Colours the cells were made with
    };

    // Cells for `font` in `colours` on `background`, at `ratio` device
    // pixels a pixel.
    CanGlyphs(const QFont& font, const Colours& colours, QColor background, qreal ratio);
    bool Suits(const QFont& font, const Colours& colours, QColor background, qreal ratio) const;

    // Puts `text` with its first cell's top-left corner at (x, y) of the
    // picture into `image`, an RGB32 piece of the picture whose top-left
    // corner is at `origin`; what falls outside the piece is left out.
    void Put(QImage& image, QPoint origin, qreal x, int y, std::string_view text, Ink ink);

    // A picture coordinate in device pixels at `ratio`.
    static int DevicePixels(qreal x, qreal ratio);

  private:
    struct Cell {
        QImage pixels;  // RGB32, device pixels; null until first needed
        qreal advance = 0;
    };
    Cell& CellFor(char c, Ink ink);

    QFont font_;
    Colours colours_;
    QColor background_;
    qreal ratio_;
    // Printable ASCII, for each weight and colour.
    std::array<std::array<std::array<Cell, 95>, kColours>, 2> cells_;
};

}  // namespace k57
