#include "PlotData.h"

#include <algorithm>
#include <cmath>

namespace k57 {

int PlotData::AddChannel(const std::string& name, const std::string& unit, size_t capacity) {
    channels_.emplace_back(name, unit, capacity);
    ++generation_;
    return int(channels_.size()) - 1;
}

void PlotData::RemoveChannel(int index) {
    if (index >= 0 && index < int(channels_.size())) {
        channels_.erase(channels_.begin() + index);
        ++generation_;
    }
}

void PlotData::Add(int channel, double seconds, double value) {
    // A value that is no number (a float signal's NaN) has no place on an axis.
    if (channel >= 0 && channel < int(channels_.size()) && std::isfinite(seconds) &&
        std::isfinite(value)) {
        channels_[size_t(channel)].Add(seconds, value);
        ++generation_;
    }
}

void PlotData::AddMark(double seconds, const std::string& label) {
    if (marks_.size() == kMaxMarks) {
        marks_.pop_front();
    }
    marks_.push_back({seconds, label});
    ++generation_;
}

void PlotData::Clear() {
    for (PlotChannel& channel : channels_) {
        channel.Clear();
    }
    marks_.clear();
    ++generation_;
}

bool PlotData::empty() const {
    return marks_.empty() && std::all_of(channels_.begin(), channels_.end(),
                                         [](const PlotChannel& c) { return c.empty(); });
}

bool PlotData::TimeRange(double& first, double& last) const {
    bool any = false;
    auto take = [&](double t) {
        first = any ? std::min(first, t) : t;
        last = any ? std::max(last, t) : t;
        any = true;
    };
    for (const PlotChannel& channel : channels_) {
        if (!channel.empty()) {
            take(channel.Time(0));
            take(channel.Time(channel.size() - 1));
        }
    }
    for (const PlotMark& mark : marks_) {
        take(mark.seconds);
    }
    return any;
}

}  // namespace k57
