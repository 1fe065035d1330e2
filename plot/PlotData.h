#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "PlotChannel.h"

namespace k57 {

// A labelled moment: an event the unit reported, drawn as a vertical line.
struct PlotMark {
    double seconds = 0;
    std::string label;  // UTF-8
};

// What a plot shows: its channels, each with its own samples and times, and
// the marks, on one time axis in seconds. Texts are UTF-8. Every change
// moves `generation`, so a view redraws only when there is something new.
class PlotData {
  public:
    static constexpr size_t kMaxMarks = 10000;

    // Returns the new channel's index.
    int AddChannel(const std::string& name, const std::string& unit, size_t capacity);
    void RemoveChannel(int index);
    void Add(int channel, double seconds, double value);
    void AddMark(double seconds, const std::string& label);
    // Empties every channel and the marks; the channels stay.
    void Clear();

    const std::vector<PlotChannel>& channels() const { return channels_; }
    const std::deque<PlotMark>& marks() const { return marks_; }
    uint64_t generation() const { return generation_; }
    bool empty() const;
    // The earliest and the latest time held; false when nothing is held.
    bool TimeRange(double& first, double& last) const;

  private:
    std::vector<PlotChannel> channels_;
    std::deque<PlotMark> marks_;
    uint64_t generation_ = 0;
};

}  // namespace k57
