#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <utility>

namespace k57 {

// Which rows of a batch are spoken for, shared by the ports' threads: a row
// is taken while its unit is written, used once the write is confirmed, and
// free again when the unit failed, so a failed unit never spends its row.
class BatchLedger {
  public:
    enum class Claim {
        Taken,  // the caller has the row now
        Used,   // a unit with this serial was done already
        Busy,   // another port is writing a unit with this serial
    };

    // The serial numbers the values file gives rows to.
    explicit BatchLedger(std::set<uint32_t> rows = {}) : rows_(std::move(rows)) {}
    // Rows used by earlier runs of the same batch (from the journal).
    void MarkUsed(uint32_t serial);

    Claim Take(uint32_t serial);
    // The row taken by Take, used (`done`) or free again.
    void Release(uint32_t serial, bool done);

    bool used(uint32_t serial) const;
    int usedCount() const;
    // The values file's rows not used yet.
    int left() const;

  private:
    mutable std::mutex mutex_;
    std::set<uint32_t> rows_;
    std::set<uint32_t> used_;
    std::set<uint32_t> busy_;
};

}  // namespace k57
