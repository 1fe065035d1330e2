#include "CertificatePage.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>
#include <iterator>

namespace k57 {

namespace {

constexpr int kDpi = 300;
constexpr double kMarginMm = 15;

double Mm(double mm) {
    return mm * kDpi / 25.4;
}

QFont SheetFont(double points, bool bold = false) {
    QFont font;
    // A family every system the programs run on has one of, Cyrillic
    // included; Qt embeds the glyphs the page uses.
    font.setFamilies({"Arial", "Liberation Sans", "DejaVu Sans", "Tahoma"});
    font.setStyleHint(QFont::SansSerif);
    // No ligatures: the text read out of the PDF (a search, a records
    // system) must hold "fi", not the one character of its ligature.
    font.setStyleStrategy(QFont::PreferNoShaping);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// The settings table's shape: the columns side by side and the font's size,
// tried in this order until the rows fit. A bigger font comes first, then
// more columns, each column's names and values narrower.
struct TableShape {
    int columns;
    double points;
};
constexpr TableShape kShapes[] = {{1, 10}, {1, 9}, {1, 8}, {2, 8},   {2, 7},
                                  {2, 6},  {3, 6}, {3, 5}, {3, 4.5}, {3, 4}};

double RowHeight(QPaintDevice* device, double points) {
    return QFontMetricsF(SheetFont(points), device).height() * 1.35;
}

// The rows a column holds under its heading.
int RowsPerColumn(QPaintDevice* device, double points, double height) {
    return std::max(0, int(height / RowHeight(device, points)) - 1);
}

TableShape FitTable(QPaintDevice* device, int rows, double height) {
    for (const TableShape& shape : kShapes) {
        const int perColumn = RowsPerColumn(device, shape.points, height);
        if (perColumn > 0 && (rows + shape.columns - 1) / shape.columns <= perColumn) {
            return shape;
        }
    }
    return kShapes[std::size(kShapes) - 1];
}

class PageWriter {
  public:
    PageWriter(QPainter& painter, QPaintDevice* device, double width, double height)
        : painter_(painter), device_(device), width_(width), bottom_(height) {}

    void Title(const QString& text) {
        y_ += Wrapped(SheetFont(16, true), QRectF(0, y_, width_, bottom_), text, Qt::AlignHCenter) +
              Mm(6);
    }

    void Facts(const std::vector<CertificateLine>& facts) {
        const QFont label = SheetFont(10, true);
        const QFont value = SheetFont(10);
        double labelWidth = 0;
        for (const CertificateLine& fact : facts) {
            labelWidth =
                std::max(labelWidth, QFontMetricsF(label, device_).horizontalAdvance(fact.name));
        }
        labelWidth = std::min(labelWidth + Mm(4), width_ / 2);
        for (const CertificateLine& fact : facts) {
            const double taken =
                std::max(Wrapped(label, QRectF(0, y_, labelWidth - Mm(2), bottom_), fact.name, 0),
                         Wrapped(value, QRectF(labelWidth, y_, width_ - labelWidth, bottom_),
                                 fact.value, 0));
            y_ += taken + Mm(1);
        }
        y_ += Mm(5);
    }

    void Heading(const QString& text) {
        y_ += Wrapped(SheetFont(12, true), QRectF(0, y_, width_, bottom_), text, 0) + Mm(2);
    }

    // The table over the page's rest, `note` under it.
    void Table(const QString& nameHeading, const QString& valueHeading,
               const std::vector<CertificateLine>& rows, const QString& note) {
        const QFont noteFont = SheetFont(8);
        const double noteHeight = note.isEmpty() ? 0 : Measure(noteFont, note) + Mm(3);
        const double height = bottom_ - y_ - noteHeight;
        const TableShape shape = FitTable(device_, int(rows.size()), height);
        const int perColumn = RowsPerColumn(device_, shape.points, height);
        const double gap = Mm(6);
        const double columnWidth = (width_ - gap * (shape.columns - 1)) / shape.columns;
        const double rowHeight = RowHeight(device_, shape.points);
        // Past what the page holds the last row says more were left out.
        const size_t room = size_t(perColumn) * size_t(shape.columns);
        const size_t shown = rows.size() <= room ? rows.size() : room - 1;
        int usedRows = 0;
        for (int column = 0; column < shape.columns; ++column) {
            const size_t first = size_t(column) * size_t(perColumn);
            if (first >= rows.size() && column > 0) {
                break;
            }
            const double x = column * (columnWidth + gap);
            Row(x, y_, columnWidth, rowHeight, shape.points, {nameHeading, valueHeading}, true);
            int row = 1;
            for (size_t i = first; i < std::min(first + size_t(perColumn), rows.size()); ++i) {
                const CertificateLine line =
                    i < shown ? rows[i] : CertificateLine{QStringLiteral("…"), QString()};
                Row(x, y_ + row * rowHeight, columnWidth, rowHeight, shape.points, line, false);
                ++row;
                if (i >= shown) {
                    break;
                }
            }
            usedRows = std::max(usedRows, row);
        }
        y_ += usedRows * rowHeight + Mm(3);
        if (!note.isEmpty()) {
            Wrapped(noteFont, QRectF(0, y_, width_, bottom_ - y_), note, 0);
        }
    }

  private:
    double Measure(const QFont& font, const QString& text) const {
        return QFontMetricsF(font, device_)
            .boundingRect(QRectF(0, 0, width_, bottom_), Qt::TextWordWrap, text)
            .height();
    }

    // `text` wrapped into the rectangle's width; the height it took.
    double Wrapped(const QFont& font, const QRectF& rect, const QString& text, int align) {
        painter_.setFont(font);
        painter_.setPen(Qt::black);
        QRectF used;
        painter_.drawText(rect, align | Qt::AlignTop | Qt::TextWordWrap, text, &used);
        return used.height();
    }

    // One row of the table: the name and the value, each cut to its cell
    // with "…", a hairline under them.
    void Row(double x, double y, double width, double height, double points,
             const CertificateLine& line, bool heading) {
        const QFont font = SheetFont(points, heading);
        const QFontMetricsF metrics(font, device_);
        const double nameWidth = width * 0.6;
        const double pad = Mm(1);
        painter_.setFont(font);
        painter_.setPen(Qt::black);
        const QRectF name(x + pad, y, nameWidth - 2 * pad, height);
        const QRectF value(x + nameWidth + pad, y, width - nameWidth - 2 * pad, height);
        painter_.drawText(name, Qt::AlignLeft | Qt::AlignVCenter,
                          metrics.elidedText(line.name, Qt::ElideRight, name.width()));
        painter_.drawText(value, Qt::AlignLeft | Qt::AlignVCenter,
                          metrics.elidedText(line.value, Qt::ElideRight, value.width()));
        painter_.setPen(QPen(heading ? Qt::black : Qt::gray, heading ? Mm(0.3) : Mm(0.1)));
        painter_.drawLine(QPointF(x, y + height), QPointF(x + width, y + height));
    }

    QPainter& painter_;
    QPaintDevice* device_;
    double width_;
    double bottom_;
    double y_ = 0;
};

}  // namespace

QByteArray CertificatePdf(const CertificateSheet& sheet) {
    // Without a QGuiApplication Qt has no fonts and ends the program at the
    // first text.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        return {};
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kDpi);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                         QPageLayout::Millimeter));
        writer.setTitle(sheet.title);
        writer.setCreator(QStringLiteral("K57 service tool"));
        QPainter painter;
        if (!painter.begin(&writer)) {
            return {};
        }
        PageWriter page(painter, &writer, writer.width(), writer.height());
        page.Title(sheet.title);
        page.Facts(sheet.facts);
        page.Heading(sheet.settingsTitle);
        page.Table(sheet.nameHeading, sheet.valueHeading, sheet.settings, sheet.note);
        if (!painter.end()) {
            return {};
        }
    }
    return bytes;
}

}  // namespace k57
