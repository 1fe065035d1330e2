#include "CanFrameLog.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace k57 {

void CanFrameLog::Clear() {
    entries_.clear();
    next_ = 0;
}

void CanFrameLog::Add(const CanRecord& frame, int64_t microseconds) {
    Entry entry{microseconds, frame.id, frame.extended, frame.remote, frame.dlc, {}};
    std::memcpy(entry.data, frame.data, sizeof entry.data);
    if (entries_.size() < kCapacity) {
        if (entries_.capacity() == 0) {
            // Address space only; a busy bus must not pay for copies of
            // megabytes each time the log doubles.
            entries_.reserve(kCapacity);
        }
        entries_.push_back(entry);
    } else {
        entries_[next_] = entry;  // the oldest makes room
    }
    next_ = (next_ + 1) % kCapacity;
}

void CanFrameLog::WriteCandump(std::ostream& out) const {
    size_t first = entries_.size() < kCapacity ? 0 : next_;
    char line[80];
    for (size_t n = 0; n < entries_.size(); ++n) {
        const Entry& e = entries_[(first + n) % entries_.size()];
        int length = std::snprintf(line, sizeof line, "(%" PRId64 ".%06" PRId64 ") k57 ",
                                   e.us / 1000000, e.us % 1000000);
        length += std::snprintf(line + length, sizeof line - size_t(length),
                                e.extended ? "%08" PRIX32 "#" : "%03" PRIX32 "#", e.id);
        if (e.remote) {
            length += e.dlc ? std::snprintf(line + length, sizeof line - size_t(length), "R%u",
                                            unsigned(e.dlc))
                            : std::snprintf(line + length, sizeof line - size_t(length), "R");
        } else {
            for (int i = 0; i < (e.dlc < 8 ? e.dlc : 8); ++i) {
                length +=
                    std::snprintf(line + length, sizeof line - size_t(length), "%02X", e.data[i]);
            }
        }
        out << line << '\n';
    }
}

}  // namespace k57
