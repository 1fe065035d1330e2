#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "PlotData.h"

namespace k57 {

// Plots as CSV text (UTF-8, comma separated, RFC 4180 quoting), the form a
// plot is exported in and a diagnostic session is recorded in:
//
//   time_s,X,Y,Z,mark
//   0.01,12.5,-3.5,980.25,
//   0.02,,,,"$AccE: Shock"
//
// The first column is the time in seconds, then one column per channel
// ("name [unit]" when it has a unit), then the marks. A row holds the
// samples taken at its time; an empty cell is no sample.
namespace plotcsv {

std::string Header(const std::vector<PlotChannel>& channels);
// One row: `values` in the channels' order, nothing for a channel without a
// sample at this time.
std::string Row(double seconds, const std::vector<std::optional<double>>& values,
                const std::string& mark = {});
// Every sample and mark of `data`, in time order; samples of several
// channels at the same time share a row.
std::string Write(const PlotData& data);

struct ReadResult {
    bool ok = false;
    std::string error;  // what is wrong, with its line, when not ok
};
// The channels and marks of a CSV text as Write makes it into `data`,
// whose channels hold at least `capacity` samples (more when the file has
// more). A malformed row ends reading with its line number.
ReadResult Read(std::string_view text, PlotData& data, size_t capacity);

}  // namespace plotcsv

}  // namespace k57
