#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "CanRecord.h"

namespace k57 {

// One frame as received or read from a log, with its time.
struct LoggedFrame {
    int64_t us;  // microseconds since the epoch, or since a recording began
    uint32_t id;
    bool extended;
    bool remote;
    uint8_t dlc;
    uint8_t data[8];

    uint64_t Key() const { return (uint64_t(extended) << 32) | id; }
    CanRecord Record() const;
};
LoggedFrame LogEntry(const CanRecord& frame, int64_t microseconds);

// The frames of one capture (since the CAN channel opened, or a recording
// played), the latest kCapacity of them, each with the computer's time of
// reception, to be saved as a candump log that can-utils, python-can and
// trace viewers read.
class CanFrameLog {
  public:
    static constexpr size_t kCapacity = 1'000'000;

    // A new capture, begun at `startUs` (the clock of the frames' times;
    // 0: unknown).
    void Clear(int64_t startUs = 0);
    int64_t startUs() const { return startUs_; }
    // Counts the captures: a reader sees a new one by this changing.
    uint64_t captures() const { return clears_; }
    // `microseconds` since the epoch.
    void Add(const CanRecord& frame, int64_t microseconds);
    size_t size() const { return entries_.size(); }
    // Every frame as a line of CandumpLine, oldest first; only those
    // `keep` passes, when given.
    void WriteCandump(std::ostream& out,
                      const std::function<bool(const LoggedFrame&)>& keep = {}) const;
    // Every frame, oldest first.
    template <typename F>
    void ForEach(F&& f) const {
        size_t first = entries_.size() < kCapacity ? 0 : next_;
        for (size_t n = 0; n < entries_.size(); ++n) {
            f(entries_[(first + n) % entries_.size()]);
        }
    }

    // Where a reader that follows the log has got to.
    struct Cursor {
        uint64_t clears = 0;
        uint64_t taken = 0;
    };
    // The frames added since `cursor`, oldest first, each to `visit` with
    // its microseconds; those that already made room for newer ones are
    // passed over, and after a Clear the reader starts again from the
    // first. Moves `cursor` on.
    void VisitSince(Cursor& cursor,
                    const std::function<void(const CanRecord&, int64_t)>& visit) const;

  private:
    std::vector<LoggedFrame> entries_;
    size_t next_ = 0;
    uint64_t added_ = 0;   // since the last Clear; frame n is at n % kCapacity
    uint64_t clears_ = 0;
    int64_t startUs_ = 0;
};

// Now on the wall clock, in microseconds since the epoch, as candump logs
// stamp frames.
int64_t CandumpNow();
// "(1436509052.249713)": a candump log's stamp, `microseconds` since the
// epoch.
std::string CandumpStamp(int64_t microseconds);
// The same stamp appended to `out`.
void AppendCandumpStamp(std::string& out, int64_t microseconds);
// One frame as a candump log line without its end:
// "(1436509052.249713) k57 1A0#0011223344556677", extended identifiers with
// 8 digits, remote frames as "ID#R" with their length.
std::string CandumpLine(const CanRecord& frame, int64_t microseconds);

}  // namespace k57
