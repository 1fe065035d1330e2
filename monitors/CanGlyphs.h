#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <array>
#include <memory>
#include <string_view>

namespace k57 {

// The CAN picture's characters, each drawn once per ink into a cell on one
// of the picture's grounds (its background, or a bit's tint) and then
// copied into place. A busy table puts thousands of characters on the
// screen a tick; a copy of a few dozen pixels costs a fraction of drawing
// text.
class CanGlyphs {
  public:
    static constexpr size_t kColours = 5;
    static constexpr size_t kGrounds = 8;
    using Colours = std::array<QColor, kColours>;
    using Grounds = std::array<QColor, kGrounds>;
    struct Ink {
        bool bold = false;
        size_t colour = 0;  // of the Colours the cells were made with
        size_t ground = 0;  // of the Grounds, the first the picture's background
    };

    // Cells for `font` in `colours` on `grounds`, at `ratio` device pixels
    // a pixel.
    CanGlyphs(const QFont& font, const Colours& colours, const Grounds& grounds, qreal ratio);
    bool Suits(const QFont& font, const Colours& colours, const Grounds& grounds,
               qreal ratio) const;

    // Puts `text` with its first cell's top-left corner at (x, y) of the
    // picture into `image`, an RGB32 piece of the picture whose top-left
    // corner is at `origin`; what falls outside the piece is left out.
    void Put(QImage& image, QPoint origin, qreal x, int y, std::string_view text, Ink ink);
    // How far `text` reaches in picture pixels.
    qreal Width(std::string_view text, Ink ink);
    // The height of a line of text in picture pixels.
    int LineHeight() const { return lineHeight_; }

    qreal ratio() const { return ratio_; }
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
    Grounds grounds_;
    qreal ratio_;
    int lineHeight_;
    // Printable ASCII, for each ground, weight and colour; made as needed.
    using Set = std::array<std::array<std::array<Cell, 95>, kColours>, 2>;
    std::array<std::unique_ptr<Set>, kGrounds> cells_;
};

}  // namespace k57
