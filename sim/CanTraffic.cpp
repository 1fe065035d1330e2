#include "CanTraffic.h"

#include <cmath>
#include <cstdio>
#include <sstream>

#include "FileRead.h"

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
// The identifier's width tells a standard (3 digits) from an extended one
// (8 digits); "ID#R" or "ID#R5" is a remote frame with its length.
std::vector<CanTraffic::Frame> CanTraffic::ReadLog(const std::string& path) {
    std::vector<Frame> frames;
    FileStream in;
    std::string line, ignored;
    in.Open(path, ignored);  // a log that cannot be read plays nothing
    double first = -1;
    bool cut = false;
    while (ReadLine(in, line, FileLimits::kLine, cut)) {
        double seconds;
        char iface[32], frame[300] = {};
        if (cut || std::sscanf(line.c_str(), " (%lf) %31s %299s", &seconds, iface, frame) < 3) {
            continue;
        }
        std::string text = frame;
        size_t hash = text.find('#');
        std::string id = text.substr(0, hash);
        if (hash == std::string::npos || id.empty() ||
            id.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
            continue;  // no frame
        }
        if (id.size() != 3 && id.size() != 8) {
            ++skipped_;
            continue;
        }
        std::string rest = text.substr(hash + 1);
        Frame f{0, uint32_t(std::strtoul(id.c_str(), nullptr, 16)), id.size() == 8, false, 0, {}};
        bool reportable = f.extended ? f.id <= 0x1FFFFFFF : f.id <= 0x7FF;  // no error frames
        if (!rest.empty() && (rest[0] == 'R' || rest[0] == 'r')) {
            f.remote = true;
            f.dlc = rest.size() > 1 ? uint8_t(std::strtoul(rest.c_str() + 1, nullptr, 16)) : 0;
            reportable = reportable && f.dlc <= 8;
        } else if (!rest.empty() && rest[0] == '#') {
            reportable = false;  // CAN FD
        } else if (rest.size() % 2 != 0 || rest.size() > 16 ||
                   rest.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
            reportable = false;  // more than 8 bytes, or no bytes at all
        } else {
            f.dlc = uint8_t(rest.size() / 2);
            for (size_t i = 0; i < f.dlc; ++i) {
                f.data[i] = uint8_t(std::strtoul(rest.substr(2 * i, 2).c_str(), nullptr, 16));
            }
        }
        if (!reportable) {
            ++skipped_;
            continue;
        }
        if (first < 0) {
            first = seconds;
        }
        f.atUs = uint64_t(std::llround((seconds - first) * 1e6));
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
    // 2048 standard identifiers at most; beyond them, extended ones.
    Frame f = k < 2048 ? Frame{0, uint32_t((k * 37 + 0x100) % 2048), false, false, 8, {}}
                       : Frame{0, uint32_t(0x18DA0000 + k), true, false, 8, {}};
    std::copy(state_[k].begin(), state_[k].end(), f.data);
    return f;
}

void CanTraffic::Flip(const UnitOptions::CanBit& bit) {
    auto& mask = flipped_[(uint64_t(bit.extended) << 32) | bit.id];
    mask[size_t(bit.byte & 7)] ^= uint8_t(1u << (bit.bit & 7));
}

std::string CanTraffic::Line(Frame f, uint64_t nowUs) const {
    if (!flipped_.empty()) {
        auto at = flipped_.find((uint64_t(f.extended) << 32) | f.id);
        for (size_t i = 0; at != flipped_.end() && i < 8; ++i) {
            f.data[i] ^= at->second[i];
        }
    }
    unsigned stamp = unsigned((nowUs / 1000) % 60000);
    char line[40];
    if (f.remote) {
        std::snprintf(line, sizeof line, f.extended ? "R%08X%X%04X\r" : "r%03X%X%04X\r", f.id,
                      f.dlc, stamp);
        return line;
    }
    if (!f.extended) {
        std::snprintf(line, sizeof line, "t%03X%X%02X%02X%02X%02X%02X%02X%02X%02X%04X\r", f.id,
                      f.dlc, f.data[0], f.data[1], f.data[2], f.data[3], f.data[4], f.data[5],
                      f.data[6], f.data[7], stamp);
        return line;
    }
    std::string text = "T";
    std::snprintf(line, sizeof line, "%08X%X", f.id, f.dlc);
    text += line;
    for (int i = 0; i < f.dlc; ++i) {
        std::snprintf(line, sizeof line, "%02X", f.data[i]);
        text += line;
    }
    std::snprintf(line, sizeof line, "%04X\r", stamp);
    return text + line;
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
