#include "CanFrameLog.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace k57 {

void CanFrameLog::Clear(int64_t startUs) {
    startUs_ = startUs;
    entries_.clear();
    next_ = 0;
    added_ = 0;
    ++clears_;
}

LoggedFrame LogEntry(const CanRecord& frame, int64_t microseconds) {
    LoggedFrame entry{microseconds, frame.id, frame.extended, frame.remote, frame.dlc, {}};
    std::memcpy(entry.data, frame.data, sizeof entry.data);
    return entry;
}

CanRecord LoggedFrame::Record() const {
    CanRecord frame;
    frame.id = id;
    frame.extended = extended;
    frame.remote = remote;
    frame.dlc = dlc;
    std::memcpy(frame.data, data, sizeof frame.data);
    return frame;
}

void CanFrameLog::Add(const CanRecord& frame, int64_t microseconds) {
    LoggedFrame entry = LogEntry(frame, microseconds);
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
    ++added_;
}

void CanFrameLog::VisitSince(Cursor& cursor,
                             const std::function<void(const CanRecord&, int64_t)>& visit) const {
    if (cursor.clears != clears_ || cursor.taken > added_) {
        cursor = {clears_, 0};
    }
    const uint64_t oldest = added_ - entries_.size();
    for (uint64_t n = std::max(cursor.taken, oldest); n < added_; ++n) {
        const LoggedFrame& e = entries_[size_t(n % kCapacity)];
        visit(e.Record(), e.us);
    }
    cursor.taken = added_;
}

void CanFrameLog::WriteCandump(std::ostream& out,
                               const std::function<bool(const LoggedFrame&)>& keep) const {
    ForEach([&](const LoggedFrame& e) {
        if (!keep || keep(e)) {
            out << CandumpLine(e.Record(), e.us) << '\n';
        }
    });
}

int64_t CandumpNow() {
    using namespace std::chrono;
    return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
}

void AppendCandumpStamp(std::string& out, int64_t microseconds) {
    char text[48];
    if (microseconds < 0) {  // before the epoch: rare, left to printf
        int length = std::snprintf(text, sizeof text, "(%" PRId64 ".%06" PRId64 ")",
                                   microseconds / 1000000, microseconds % 1000000);
        out.append(text, size_t(length));
        return;
    }
    // Decoding a long log writes one stamp a line: digits by hand, no printf.
    text[0] = '(';
    char* end = std::to_chars(text + 1, text + 24, microseconds / 1000000).ptr;
    *end++ = '.';
    int64_t fraction = microseconds % 1000000;
    for (int i = 5; i >= 0; --i, fraction /= 10) {
        end[i] = char('0' + fraction % 10);
    }
    end += 6;
    *end++ = ')';
    out.append(text, size_t(end - text));
}

std::string CandumpStamp(int64_t microseconds) {
    std::string stamp;
    AppendCandumpStamp(stamp, microseconds);
    return stamp;
}

std::string CandumpLine(const CanRecord& frame, int64_t microseconds) {
    char line[48];
    int length =
        std::snprintf(line, sizeof line,
                      frame.extended ? " k57 %08" PRIX32 "#" : " k57 %03" PRIX32 "#", frame.id);
    if (frame.remote) {
        if (frame.dlc) {
            std::snprintf(line + length, sizeof line - size_t(length), "R%u", unsigned(frame.dlc));
        } else {
            std::snprintf(line + length, sizeof line - size_t(length), "R");
        }
    } else {
        for (int i = 0; i < frame.Columns(); ++i) {
            length +=
                std::snprintf(line + length, sizeof line - size_t(length), "%02X", frame.data[i]);
        }
    }
    return CandumpStamp(microseconds) + line;
}

}  // namespace k57
