#include "CanTraffic.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace k57::sim {

CanTraffic::CanTraffic(const UnitOptions& options)
    : periodUs_(options.canFramesPerSecond > 0 ? 1'000'000u / unsigned(options.canFramesPerSecond)
                                               : 1'000'000u),
      identifiers_(options.canIdentifiers < 1      ? 1
                   : options.canIdentifiers > 4096 ? 4096
                                                   : options.canIdentifiers),
      state_(size_t(identifiers_)) {
    if (!options.canLog.empty()) {
        log_ = ReadLog(options.canLog);
        if (!log_.empty()) {
            logLengthUs_ = log_.back().atUs + 10'000;
        }
    }
}

// candump's text form: "(seconds.micros) iface ID#DATA", one frame a line.
std::vector<CanTraffic::Frame> CanTraffic::ReadLog(const std::string& path) {
    std::vector<Frame> frames;
    std::ifstream in(path);
    std::string line;
    double first = -1;
    while (std::getline(in, line)) {
        double seconds;
        char iface[32], id[16], data[64] = {};
        if (std::sscanf(line.c_str(), " (%lf) %31s %15[0-9A-Fa-f]#%63[0-9A-Fa-f]", &seconds, iface,
                        id, data) < 3) {
            continue;
        }
        unsigned long value = std::strtoul(id, nullptr, 16);
        if (value > 0xFFF) {
            continue;  // the unit reports standard identifiers only
        }
        if (first < 0) {
            first = seconds;
        }
        Frame f{uint64_t(std::llround((seconds - first) * 1e6)), uint16_t(value), 0, {}};
        for (size_t i = 0; i < 8 && data[2 * i] && data[2 * i + 1]; ++i) {
            char byte[3] = {data[2 * i], data[2 * i + 1], 0};
            f.data[i] = uint8_t(std::strtoul(byte, nullptr, 16));
            f.dlc = uint8_t(i + 1);
        }
        frames.push_back(f);
    }
    return frames;
}

void CanTraffic::Start(uint64_t nowUs) {
    startUs_ = nowUs;
    sent_ = 0;
    nextUs_ = log_.empty() ? nowUs + periodUs_ : nowUs + log_.front().atUs;
}

// Round robin over the identifiers; now and then a bit of one flips.
CanTraffic::Frame CanTraffic::Synthetic() {
    size_t k = size_t(sent_ % uint64_t(identifiers_));
    random_ = random_ * 1103515245u + 12345u;
    if ((random_ >> 16) % 4 == 0) {
        unsigned bit = (random_ >> 8) % 64;
        state_[k][bit / 8] ^= uint8_t(1u << (bit % 8));
    }
    Frame f{0, uint16_t((k * 37 + 0x100) % 4096), uint8_t(8), {}};
    std::copy(state_[k].begin(), state_[k].end(), f.data);
    return f;
}

std::string CanTraffic::Line(const Frame& f, uint64_t nowUs) const {
    char line[32];
    std::snprintf(line, sizeof line, "t%03X%X%02X%02X%02X%02X%02X%02X%02X%02X%04X\r", f.id, f.dlc,
                  f.data[0], f.data[1], f.data[2], f.data[3], f.data[4], f.data[5], f.data[6],
                  f.data[7], unsigned((nowUs / 1000) & 0xFFFF));
    return line;
}

std::string CanTraffic::Due(uint64_t nowUs) {
    std::string lines;
    while (nextUs_ <= nowUs) {
        if (log_.empty()) {
            lines += Line(Synthetic(), nowUs);
            nextUs_ += periodUs_;
        } else {
            const Frame& f = log_[size_t(sent_ % log_.size())];
            lines += Line(f, nowUs);
            uint64_t round = (sent_ + 1) / log_.size();
            nextUs_ =
                startUs_ + round * logLengthUs_ + log_[size_t((sent_ + 1) % log_.size())].atUs;
        }
        ++sent_;
        if (lines.size() > 64 * 1024) {
            nextUs_ = nowUs + periodUs_;  // far behind: skip what cannot be sent anyway
            break;
        }
    }
    return lines;
}

}  // namespace k57::sim
