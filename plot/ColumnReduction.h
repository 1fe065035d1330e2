#pragma once

#include <cstdint>
#include <vector>

#include "PlotChannel.h"

namespace k57 {

// What a channel's samples come to in one pixel column: however many
// samples fall in it, the column is drawn from these four values, so a plot
// of a million samples costs as much as one of a few thousand, and no peak
// is lost between pixels.
struct PlotColumn {
    uint32_t count = 0;  // samples in the column; the rest means nothing when 0
    double min = 0;
    double max = 0;
    double first = 0;  // the column's earliest sample: where the line comes in
    double last = 0;   // its latest: where the line leaves
};

// The samples of `channel` with times in [from, to), `width` columns of
// equal duration. Empty when `width` is not positive or the span is empty.
std::vector<PlotColumn> ReduceColumns(const PlotChannel& channel, double from, double to,
                                      int width);

}  // namespace k57
