#include "ColumnReduction.h"

#include <algorithm>
#include <utility>

namespace k57 {

std::vector<PlotColumn> ReduceColumns(const PlotChannel& channel, double from, double to,
                                      int width) {
    std::vector<PlotColumn> columns;
    if (width <= 0 || !(to > from)) {
        return columns;
    }
    columns.resize(size_t(width));
    const double perColumn = (to - from) / width;
    // Each column's samples are a run between two bisections: the inner
    // loop is a plain scan, whatever the ring's wrap.
    size_t begin = channel.LowerBound(from);
    for (int c = 0; c < width && begin < channel.size(); ++c) {
        double end = c + 1 == width ? to : from + perColumn * (c + 1);
        size_t stop = channel.LowerBound(end);
        if (stop == begin) {
            continue;
        }
        PlotColumn& column = columns[size_t(c)];
        column.count = uint32_t(std::min<size_t>(stop - begin, UINT32_MAX));
        column.first = channel.Value(begin);
        column.last = channel.Value(stop - 1);
        double low = column.first, high = column.first;
        const PlotChannel::Runs runs = channel.ValueRuns(begin, stop);
        for (const auto& [values, n] : {std::pair(runs.first, runs.firstCount),
                                        std::pair(runs.second, runs.secondCount)}) {
            for (size_t i = 0; i < n; ++i) {
                low = values[i] < low ? values[i] : low;
                high = values[i] > high ? values[i] : high;
            }
        }
        column.min = low;
        column.max = high;
        begin = stop;
    }
    return columns;
}

}  // namespace k57
