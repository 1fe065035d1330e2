#include "PlotCsv.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace k57::plotcsv {

namespace {

const char kTime[] = "time_s";
const char kMark[] = "mark";

std::string Number(double value) {
    char text[32];
    auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

std::string Quoted(const std::string& cell) {
    if (cell.find_first_of(",\"\r\n") == std::string::npos) {
        return cell;
    }
    std::string quoted = "\"";
    for (char c : cell) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

std::string ChannelTitle(const PlotChannel& channel) {
    return channel.unit().empty() ? channel.name() : channel.name() + " [" + channel.unit() + "]";
}

// "name [unit]" back into its parts.
void SplitTitle(const std::string& title, std::string& name, std::string& unit) {
    size_t open = title.rfind(" [");
    if (!title.empty() && title.back() == ']' && open != std::string::npos) {
        name = title.substr(0, open);
        unit = title.substr(open + 2, title.size() - open - 3);
    } else {
        name = title;
        unit.clear();
    }
}

// Reads one record at `at`, which moves past its end; quoted cells may
// span lines. False with `error` set when a quote is left open.
bool NextRecord(std::string_view text, size_t& at, int& line, std::vector<std::string>& cells,
                std::string& error) {
    cells.assign(1, {});
    bool quoted = false;
    const int startLine = line;
    for (; at < text.size(); ++at) {
        char c = text[at];
        if (quoted) {
            if (c == '"' && at + 1 < text.size() && text[at + 1] == '"') {
                cells.back() += '"';
                ++at;
            } else if (c == '"') {
                quoted = false;
            } else {
                line += c == '\n';
                cells.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            cells.emplace_back();
        } else if (c == '\n') {
            ++at;
            ++line;
            return true;
        } else if (c != '\r') {
            cells.back() += c;
        }
    }
    if (quoted) {
        error = "line " + std::to_string(startLine) + ": a quoted cell is not closed";
        return false;
    }
    ++line;
    return true;
}

bool ParseNumber(const std::string& cell, double& value) {
    const char* end = cell.data() + cell.size();
    auto [ptr, ec] = std::from_chars(cell.data(), end, value);
    return ec == std::errc() && ptr == end && std::isfinite(value);
}

}  // namespace

std::string Header(const std::vector<PlotChannel>& channels) {
    std::string header = kTime;
    for (const PlotChannel& channel : channels) {
        header += "," + Quoted(ChannelTitle(channel));
    }
    return header + "," + kMark + "\n";
}

std::string Row(double seconds, const std::vector<std::optional<double>>& values,
                const std::string& mark) {
    std::string row = Number(seconds);
    for (const std::optional<double>& value : values) {
        row += ',';
        if (value) {
            row += Number(*value);
        }
    }
    return row + "," + Quoted(mark) + "\n";
}

std::string Write(const PlotData& data) {
    const std::vector<PlotChannel>& channels = data.channels();
    std::string text = Header(channels);
    // A merge of the channels and the marks by time.
    std::vector<size_t> next(channels.size(), 0);
    size_t mark = 0;
    std::vector<std::optional<double>> values(channels.size());
    const double none = std::numeric_limits<double>::infinity();
    for (;;) {
        double t = mark < data.marks().size() ? data.marks()[mark].seconds : none;
        for (size_t c = 0; c < channels.size(); ++c) {
            if (next[c] < channels[c].size()) {
                t = std::min(t, channels[c].Time(next[c]));
            }
        }
        if (t == none) {
            return text;
        }
        // The marks first, each a row of its own, then one row of the
        // samples at this time.
        for (; mark < data.marks().size() && data.marks()[mark].seconds <= t; ++mark) {
            text += Row(data.marks()[mark].seconds, std::vector<std::optional<double>>(values.size()),
                        data.marks()[mark].label);
        }
        bool any = false;
        for (size_t c = 0; c < channels.size(); ++c) {
            values[c].reset();
            if (next[c] < channels[c].size() && channels[c].Time(next[c]) == t) {
                values[c] = channels[c].Value(next[c]++);
                any = true;
            }
        }
        if (any) {
            text += Row(t, values);
        }
    }
}

ReadResult Read(std::string_view text, PlotData& data, size_t capacity) {
    ReadResult result;
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);  // a byte order mark from a spreadsheet
    }
    size_t at = 0;
    int line = 1;
    std::vector<std::string> cells;
    if (!NextRecord(text, at, line, cells, result.error)) {
        return result;
    }
    if (cells.size() < 2 || cells.front() != kTime || cells.back() != kMark) {
        result.error = "line 1: not a plot: the first column must be \"time_s\", the last \"mark\"";
        return result;
    }
    const size_t channelCount = cells.size() - 2;
    // Count the rows first, so that every sample of the file is held.
    size_t rows = size_t(std::count(text.begin() + long(at), text.end(), '\n')) + 1;
    data = PlotData();
    for (size_t c = 0; c < channelCount; ++c) {
        std::string name, unit;
        SplitTitle(cells[c + 1], name, unit);
        data.AddChannel(name, unit, std::max(capacity, rows));
    }
    while (at < text.size()) {
        const int rowLine = line;
        if (!NextRecord(text, at, line, cells, result.error)) {
            return result;
        }
        if (cells.size() == 1 && cells[0].empty()) {
            continue;  // an empty line
        }
        double t = 0;
        if (cells.size() != channelCount + 2) {
            result.error = "line " + std::to_string(rowLine) + ": " +
                           std::to_string(cells.size()) + " cells, the header has " +
                           std::to_string(channelCount + 2);
            return result;
        }
        if (!ParseNumber(cells[0], t)) {
            result.error = "line " + std::to_string(rowLine) + ": \"" + cells[0] +
                           "\" is not a time in seconds";
            return result;
        }
        for (size_t c = 0; c < channelCount; ++c) {
            double value = 0;
            if (cells[c + 1].empty()) {
                continue;
            }
            if (!ParseNumber(cells[c + 1], value)) {
                result.error = "line " + std::to_string(rowLine) + ": \"" + cells[c + 1] +
                               "\" is not a number";
                return result;
            }
            data.Add(int(c), t, value);
        }
        if (!cells.back().empty()) {
            data.AddMark(t, cells.back());
        }
    }
    result.ok = true;
    return result;
}

}  // namespace k57::plotcsv
