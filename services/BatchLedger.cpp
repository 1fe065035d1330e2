#include "BatchLedger.h"

namespace k57 {

void BatchLedger::MarkUsed(uint32_t serial) {
    std::lock_guard<std::mutex> lock(mutex_);
    used_.insert(serial);
}

BatchLedger::Claim BatchLedger::Take(uint32_t serial) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (used_.count(serial) != 0) {
        return Claim::Used;
    }
    // Two units answering with one serial number at once: one of them is
    // not what it says, and neither may spend the row while the other
    // holds it.
    if (!busy_.insert(serial).second) {
        return Claim::Busy;
    }
    return Claim::Taken;
}

void BatchLedger::Release(uint32_t serial, bool done) {
    std::lock_guard<std::mutex> lock(mutex_);
    busy_.erase(serial);
    if (done) {
        used_.insert(serial);
    }
}

bool BatchLedger::used(uint32_t serial) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return used_.count(serial) != 0;
}

int BatchLedger::usedCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return int(used_.size());
}

int BatchLedger::left() const {
    std::lock_guard<std::mutex> lock(mutex_);
    int left = 0;
    for (uint32_t serial : rows_) {
        left += used_.count(serial) == 0 ? 1 : 0;
    }
    return left;
}

}  // namespace k57
