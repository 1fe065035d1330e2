#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "CanRecord.h"

namespace k57 {

// The frames received since the CAN channel opened, the latest kCapacity of
// them, each with the computer's time of reception, to be saved as a
// candump log that can-utils, python-can and trace viewers read.
class CanFrameLog {
  public:
    static constexpr size_t kCapacity = 1'000'000;

    void Clear();
    // `microseconds` since the epoch.
    void Add(const CanRecord& frame, int64_t microseconds);
    size_t size() const { return entries_.size(); }
    // Every frame as a line of CandumpLine, oldest first.
    void WriteCandump(std::ostream& out) const;

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
    struct Entry {
        int64_t us;
        uint32_t id;
        bool extended;
        bool remote;
        uint8_t dlc;
        uint8_t data[8];
    };
    static CanRecord Record(const Entry& entry);

    std::vector<Entry> entries_;
    size_t next_ = 0;
    uint64_t added_ = 0;   // since the last Clear; frame n is at n % kCapacity
    uint64_t clears_ = 0;
};

// Now on the wall clock, in microseconds since the epoch, as candump logs
// stamp frames.
int64_t CandumpNow();
// "(1436509052.249713)": a candump log's stamp, `microseconds` since the
// epoch.
std::string CandumpStamp(int64_t microseconds);
// One frame as a candump log line without its end:
// "(1436509052.249713) k57 1A0#0011223344556677", extended identifiers with
// 8 digits, remote frames as "ID#R" with their length.
std::string CandumpLine(const CanRecord& frame, int64_t microseconds);

}  // namespace k57
