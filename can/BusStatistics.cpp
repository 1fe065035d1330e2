#include "BusStatistics.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace k57 {

double BusStatistics::Identifier::Rate() const {
    return frames > 1 && lastUs > firstUs ? double(frames - 1) * 1e6 / double(lastUs - firstUs)
                                          : 0;
}

double BusStatistics::Identifier::PeriodMs() const {
    return frames > 1 ? double(lastUs - firstUs) / 1000.0 / double(frames - 1) : 0;
}

double BusStatistics::Identifier::RecentRate() const {
    const double period = RecentPeriodMs();
    return period > 0 ? 1000.0 / period : 0;
}

double BusStatistics::Identifier::RecentPeriodMs() const {
    return recent.count > 1
               ? double(recent.Newest() - recent.Oldest()) / 1000.0 / double(recent.count - 1)
               : 0;
}

void BusStatistics::RecentTimes::Add(int64_t us) {
    while (count > 2 && us - Oldest() > kRecentUs) {
        oldest = (oldest + 1) % times.size();
        --count;
    }
    if (count == times.size()) {
        if (times.size() < kRecentMost) {
            // Grown in order, oldest first; a slow message stays small.
            std::rotate(times.begin(), times.begin() + long(oldest), times.end());
            oldest = 0;
            times.resize(std::min(kRecentMost, std::max<size_t>(4, 2 * times.size())));
            times.shrink_to_fit();
        } else {
            oldest = (oldest + 1) % times.size();
            --count;
        }
    }
    times[(oldest + count) % times.size()] = us;
    ++count;
}

uint8_t BusStatistics::Identifier::ChangingBits(int byte) const {
    uint8_t bits = 0;
    for (int bit = 0; bit < 8; ++bit) {
        if (flips[8 * byte + bit]) {
            bits = uint8_t(bits | (1u << bit));
        }
    }
    return bits;
}

void BusStatistics::Clear() {
    identifiers_.clear();
    index_.clear();
}

void BusStatistics::Add(const LoggedFrame& frame) {
    auto [at, fresh] = index_.try_emplace(frame.Key(), identifiers_.size());
    if (fresh) {
        Identifier first;
        first.id = frame.id;
        first.extended = frame.extended;
        first.firstUs = frame.us;
        std::memcpy(first.data, frame.data, sizeof first.data);
        identifiers_.push_back(first);
    }
    Identifier& ident = identifiers_[at->second];
    ++ident.frames;
    ident.lastUs = frame.us;
    ident.recent.Add(frame.us);
    if (fresh || frame.remote) {
        return;  // nothing to compare with, or no data
    }
    for (int byte = 0; byte < 8; ++byte) {
        unsigned flipped = unsigned(ident.data[byte] ^ frame.data[byte]);
        for (; flipped; flipped &= flipped - 1) {
            int bit = 8 * byte + __builtin_ctz(flipped);
            ++ident.flips[bit];
            ident.changedUs[bit] = frame.us;
        }
        ident.data[byte] = frame.data[byte];
    }
}

const BusStatistics::Identifier* BusStatistics::Find(uint64_t key) const {
    auto at = index_.find(key);
    return at == index_.end() ? nullptr : &identifiers_[at->second];
}

std::unordered_map<uint64_t, double> BusStatistics::MedianPeriodsMs(
    const std::vector<LoggedFrame>& frames) {
    std::unordered_map<uint64_t, int64_t> last;
    std::unordered_map<uint64_t, std::vector<int64_t>> intervals;
    for (const LoggedFrame& f : frames) {
        auto [at, first] = last.try_emplace(f.Key(), f.us);
        if (!first) {
            intervals[f.Key()].push_back(f.us - at->second);
            at->second = f.us;
        }
    }
    std::unordered_map<uint64_t, double> medians;
    for (auto& [key, spans] : intervals) {
        const size_t half = spans.size() / 2;
        std::nth_element(spans.begin(), spans.begin() + long(half), spans.end());
        double median = double(spans[half]);
        if (spans.size() % 2 == 0) {  // the mean of the two middle ones
            median = (median + double(*std::max_element(spans.begin(), spans.begin() + long(half)))) / 2;
        }
        medians[key] = median / 1000.0;
    }
    return medians;
}

int BusStatistics::HeatLevel(uint32_t flips, uint64_t frames, int levels) {
    if (flips == 0 || frames == 0 || levels < 2) {
        return 0;
    }
    // log10 of the share of frames that flipped it, from -4 up to 0.
    double share = std::log10(std::min(1.0, double(flips) / double(frames)));
    double scaled = (share + 4.0) / 4.0 * double(levels - 2);
    return 1 + int(std::lround(std::max(0.0, scaled)));
}

}  // namespace k57
