#pragma once

#include <cstdint>
#include <ostream>
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
    // "(1436509052.249713) k57 1A0#0011223344556677", oldest first; remote
    // frames as "ID#R" with their length.
    void WriteCandump(std::ostream& out) const;

  private:
    struct Entry {
        int64_t us;
        uint32_t id;
        bool extended;
        bool remote;
        uint8_t dlc;
        uint8_t data[8];
    };
    std::vector<Entry> entries_;
    size_t next_ = 0;
};

}  // namespace k57
