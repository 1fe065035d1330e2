#pragma once

#include <QColor>
#include <QRect>
#include <utility>
#include <vector>

#include "BusStatistics.h"
#include "CanRecord.h"
#include "TableRows.h"

class QPainter;

namespace k57 {

// The CAN monitor's picture: one entry per record, 36 pixels apart, with the
// identifier, length code and data in hex on the first row and the stamp and
// every data bit on the second, and a separator line under each. The table
// view may add what the statistics know (TableLook): bits tinted by their
// heat, held changes, silent identifiers grey or left out, and each row's
// rate and period at the end of its first row.
namespace CanPicture {

enum class View { Table, Capture };

constexpr int kRowPitch = 36;
constexpr int kSecondRow = 15;
constexpr int kSeparator = 31;
constexpr int kLeft = 5;
constexpr int kFirstByte = 65;
constexpr int kBytePitch = 72;
constexpr int kBitPitch = 8;
const QColor kChanged(0, 0, 255);
const QColor kRetired(208, 208, 208);
const QColor kSilent(160, 160, 160);  // an identifier gone quiet, the whole entry
const QColor kNote(96, 96, 96);       // the rate and period

// A bit's tint for its heat level (TableLook::Heat): none for 0, then pale
// yellow through orange to red for a bit that flips in every frame.
QColor HeatColour(int level);

// What the table view draws besides the records, as of the rows' last
// update; without it (or in the capture view) the records alone.
struct Table {
    const TableRows* rows = nullptr;
    const BusStatistics* statistics = nullptr;
};

// The rows to repaint, as [first, end) runs within the shown rows
// [shownFirst, shownEnd): the `rows` that changed (ascending, each once) and,
// when `movedFrom` is not SIZE_MAX, every row from it on.
std::vector<std::pair<size_t, size_t>> DamagedRuns(const std::vector<size_t>& rows,
                                                   size_t movedFrom, size_t shownFirst,
                                                   size_t shownEnd);

// Draws the part of the picture that lies in `area`: the entries crossing
// it, on `background`. The pixels are those of the whole picture there.
void Paint(QPainter& painter, const QRect& area, int width, const std::vector<CanRecord>& rows,
           View view, const QColor& background, const Table& table = {});

}  // namespace CanPicture

}  // namespace k57
