#include "PlotChannel.h"

#include <algorithm>
#include <utility>

namespace k57 {

namespace {

size_t PowerOfTwoAtLeast(size_t n) {
    size_t p = 1;
    while (p < n) {
        p <<= 1;
    }
    return p;
}

}  // namespace

PlotChannel::PlotChannel(std::string name, std::string unit, size_t capacity)
    : name_(std::move(name)),
      unit_(std::move(unit)),
      times_(PowerOfTwoAtLeast(capacity ? capacity : 1)),
      values_(times_.size()),
      mask_(times_.size() - 1) {}

void PlotChannel::Add(double seconds, double value) {
    if (count_ && seconds < Time(count_ - 1)) {
        seconds = Time(count_ - 1);
    }
    size_t at = (head_ + count_) & mask_;
    times_[at] = seconds;
    values_[at] = value;
    if (count_ < times_.size()) {
        ++count_;
    } else {
        head_ = (head_ + 1) & mask_;  // the oldest makes room
    }
}

void PlotChannel::Clear() {
    head_ = 0;
    count_ = 0;
}

PlotChannel::Runs PlotChannel::ValueRuns(size_t begin, size_t end) const {
    const size_t start = (head_ + begin) & mask_, n = end - begin;
    const size_t untilWrap = values_.size() - start;
    if (n <= untilWrap) {
        return {values_.data() + start, n, nullptr, 0};
    }
    return {values_.data() + start, untilWrap, values_.data(), n - untilWrap};
}

size_t PlotChannel::LowerBound(double seconds, size_t from) const {
    // Gallop from `from` to a bound past the answer, then bisect behind it.
    size_t low = std::min(from, count_), high = low;
    for (size_t step = 1; high < count_ && Time(high) < seconds; step *= 2) {
        low = high + 1;
        high = std::min(count_, high + step);
    }
    while (low < high) {
        size_t middle = low + (high - low) / 2;
        if (Time(middle) < seconds) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

bool PlotChannel::IndexAt(double seconds, size_t& index) const {
    // The first sample after `seconds`; the one before it is the answer.
    size_t low = 0, high = count_;
    while (low < high) {
        size_t middle = low + (high - low) / 2;
        if (Time(middle) <= seconds) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    if (low == 0) {
        return false;
    }
    index = low - 1;
    return true;
}

}  // namespace k57
