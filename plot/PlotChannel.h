#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace k57 {

// One quantity over time: the newest samples, up to a fixed count, in a
// ring. Times never go back: a sample stamped before the newest is taken at
// the newest's time, so the samples stay sorted and a time is found by
// bisection.
class PlotChannel {
  public:
    // `capacity` is rounded up to a power of two.
    PlotChannel(std::string name, std::string unit, size_t capacity);

    void Add(double seconds, double value);
    void Clear();

    const std::string& name() const { return name_; }
    const std::string& unit() const { return unit_; }
    size_t size() const { return count_; }
    size_t capacity() const { return times_.size(); }
    bool empty() const { return count_ == 0; }

    // Sample `i` counted from the oldest held.
    double Time(size_t i) const { return times_[(head_ + i) & mask_]; }
    double Value(size_t i) const { return values_[(head_ + i) & mask_]; }
    // The values of samples [begin, end) as at most two runs in memory
    // (the ring may wrap between them), for scans that must be fast.
    struct Runs {
        const double* first;
        size_t firstCount;
        const double* second;
        size_t secondCount;
    };
    Runs ValueRuns(size_t begin, size_t end) const;
    // The first sample at or after `seconds` (size() when none). With
    // `from`, only samples from there on are looked at, nearest first: a
    // scan over successive times stays within the memory it reads anyway
    // instead of bisecting the whole ring each time.
    size_t LowerBound(double seconds, size_t from = 0) const;
    // The index of the newest sample at or before `seconds`; false when
    // there is none.
    bool IndexAt(double seconds, size_t& index) const;

  private:
    std::string name_;
    std::string unit_;
    std::vector<double> times_;
    std::vector<double> values_;
    size_t mask_;
    size_t head_ = 0;  // the oldest sample
    size_t count_ = 0;
};

}  // namespace k57
