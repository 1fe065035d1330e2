#include "CanPicture.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QStaticText>
#include <algorithm>

namespace k57 {

namespace CanPicture {

namespace {

// Text drawn with its cell's top-left corner at (x, y).
void Text(QPainter& p, int x, int y, const QString& text) {
    p.drawText(x, y + p.fontMetrics().ascent(), text);
}

// The bit digits, laid out once: a picture of 4096 entries draws thousands
// of them a tick, and drawing laid-out text skips the shaping.
void Bit(QPainter& p, int x, int y, QChar c) {
    static QStaticText digits[3] = {QStaticText("0"), QStaticText("1"), QStaticText("x")};
    QStaticText& text = digits[c == '0' ? 0 : c == '1' ? 1 : 2];
    text.setPerformanceHint(QStaticText::AggressiveCaching);
    p.drawStaticText(x, y, text);
}

void Style(QPainter& p, bool bold, const QColor& colour) {
    QFont font = p.font();
    if (font.bold() != bold) {
        font.setBold(bold);
        p.setFont(font);
    }
    p.setPen(colour);
}

void Entry(QPainter& p, int top, const CanRecord& r, View view) {
    Style(p, false, Qt::black);
    int second = top + kSecondRow;
    if (r.extended) {
        // Eight digits leave no room for the length code: it leads the stamp.
        Text(p, kLeft, top, QString::asprintf("%8.8X", unsigned(r.id)));
        Text(p, kLeft, second, QString::asprintf("%1.1X %d", r.dlc, int(r.stamp)));
    } else {
        Text(p, kLeft, top, QString::asprintf("%3.3X: %1.1X", unsigned(r.id), r.dlc));
        Text(p, kLeft, second, QString::number(r.stamp));
    }
    int columns = r.remote ? 0 : r.Columns();
    for (int j = 0; j < columns; ++j) {
        Text(p, kFirstByte + kBytePitch * j, top, QString::asprintf("%2.2X", r.data[j]));
    }
    for (int k = 0; k < columns; ++k) {
        for (int n = 0; n < 8; ++n) {
            uint8_t bit = uint8_t(0x80 >> n);
            QChar c = (r.data[k] & bit) ? '1' : '0';
            if (r.mask[k] & bit) {
                bool changed = r.changed[k] & bit;
                Style(p, changed, changed ? kChanged : QColor(Qt::black));
            } else if (view == View::Table) {
                c = 'x';  // retired: drawn as the previous bit was
            } else {
                p.setPen(kRetired);
            }
            Bit(p, kFirstByte + kBytePitch * k + kBitPitch * n, second, c);
        }
    }
    Style(p, false, Qt::black);
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
    p.fillRect(area, background);
    p.setClipRect(area);
    QFont font("Courier");
    font.setPointSize(8);
    p.setFont(font);
    int first = std::max(0, area.top() / kRowPitch);
    int last = std::min(int(rows.size()) - 1, area.bottom() / kRowPitch);
    for (int i = first; i <= last; ++i) {
        int top = kRowPitch * i;
        Entry(p, top, rows[size_t(i)], view);
        p.setPen(Qt::black);
        p.drawLine(0, top + kSeparator, width, top + kSeparator);
    }
}

}  // namespace CanPicture

}  // namespace k57
