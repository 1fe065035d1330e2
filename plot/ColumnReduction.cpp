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
        size_t stop = channel.LowerBound(end, begin);
        if (stop == begin) {
            continue;
        }
        PlotColumn& column = columns[size_t(c)];
        column.count = uint32_t(std::min<size_t>(stop - begin, UINT32_MAX));
        column.first = channel.Value(begin);
        column.last = channel.Value(stop - 1);
        // Four running pairs, not one: each comparison waits on the last
        // only every fourth sample, so a column of thousands scans at the
        // processor's pace rather than its latency's.
        double low[4], high[4];
        std::fill(low, low + 4, column.first);
        std::fill(high, high + 4, column.first);
        const PlotChannel::Runs runs = channel.ValueRuns(begin, stop);
        for (const auto& [values, n] : {std::pair(runs.first, runs.firstCount),
                                        std::pair(runs.second, runs.secondCount)}) {
            size_t i = 0;
            for (; i + 4 <= n; i += 4) {
                for (int k = 0; k < 4; ++k) {
                    low[k] = values[i + k] < low[k] ? values[i + k] : low[k];
                    high[k] = values[i + k] > high[k] ? values[i + k] : high[k];
                }
            }
            for (; i < n; ++i) {
                low[0] = values[i] < low[0] ? values[i] : low[0];
                high[0] = values[i] > high[0] ? values[i] : high[0];
            }
        }
        column.min = std::min({low[0], low[1], low[2], low[3]});
        column.max = std::max({high[0], high[1], high[2], high[3]});
        begin = stop;
    }
    return columns;
}

}  // namespace k57
