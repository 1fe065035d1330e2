#include "TableRows.h"

#include <algorithm>

namespace k57 {

namespace {

// The record of `key`, or the end.
std::vector<CanRecord>::const_iterator Find(const std::vector<CanRecord>& records, uint64_t key) {
    auto at = std::lower_bound(records.begin(), records.end(), key,
                               [](const CanRecord& r, uint64_t k) { return r.Key() < k; });
    return at != records.end() && at->Key() == key ? at : records.end();
}

}  // namespace

void TableRows::SetLook(const TableLook& look) {
    if (look != look_) {
        look_ = look;
        lookChanged_ = true;
    }
}

bool TableRows::ShownMayChange(const CanCapture::Damage& frames,
                               const std::vector<CanRecord>& records,
                               const BusStatistics& statistics) const {
    if (lookChanged_ || !hiding_ || frames.movedFrom != SIZE_MAX) {
        return true;
    }
    // A hidden identifier with a frame again.
    for (size_t row : frames.rows) {
        if (row < records.size() &&
            !std::binary_search(shown_.begin(), shown_.end(), records[row].Key())) {
            return true;
        }
    }
    // One that fell silent: the last frame of each, a quick pass.
    for (const BusStatistics::Identifier& ident : statistics.identifiers()) {
        if (Crossed(ident.lastUs + look_.quietUs)) {
            return true;
        }
    }
    return false;
}

CanCapture::Damage TableRows::Update(const CanCapture::Damage& frames,
                                     const std::vector<CanRecord>& records,
                                     const BusStatistics& statistics, int64_t nowUs) {
    previousUs_ = nowUs_;
    nowUs_ = nowUs;
    CanCapture::Damage damage;
    if (look_.silence != TableLook::Silence::Hidden) {
        damage = frames;
        if (lookChanged_ || hiding_) {
            damage.movedFrom = 0;
        }
        hiding_ = false;
        shown_.clear();
    } else {
        if (ShownMayChange(frames, records, statistics)) {
            std::vector<uint64_t> shown;
            shown.reserve(records.size());
            for (const CanRecord& r : records) {
                if (!look_.Silent(statistics.Find(r.Key()), nowUs)) {
                    shown.push_back(r.Key());
                }
            }
            if (lookChanged_ || !hiding_) {
                damage.movedFrom = 0;
            } else {
                auto differ =
                    std::mismatch(shown_.begin(), shown_.end(), shown.begin(), shown.end());
                if (differ.first != shown_.end() || differ.second != shown.end()) {
                    damage.movedFrom = size_t(differ.first - shown_.begin());
                }
            }
            shown_ = std::move(shown);
            hiding_ = true;
        }
        // The records that moved, from where they are shown now.
        if (frames.movedFrom != SIZE_MAX) {
            size_t from = 0;
            if (frames.movedFrom < records.size()) {
                from = RowOfOrAfter(records[frames.movedFrom].Key());
            }
            damage.movedFrom = std::min(damage.movedFrom, from);
        }
        for (size_t row : frames.rows) {
            size_t shownRow = row < records.size() ? RowOf(records[row].Key(), records) : SIZE_MAX;
            if (shownRow < damage.movedFrom) {
                damage.rows.push_back(shownRow);
            }
        }
    }
    lookChanged_ = false;
    return damage;
}

size_t TableRows::size(const std::vector<CanRecord>& records) const {
    return hiding_ ? shown_.size() : records.size();
}

const CanRecord* TableRows::At(size_t row, const std::vector<CanRecord>& records) const {
    if (!hiding_) {
        return row < records.size() ? &records[row] : nullptr;
    }
    if (row >= shown_.size()) {
        return nullptr;
    }
    // The records may have moved since the update: the key finds its own.
    auto at = Find(records, shown_[row]);
    return at != records.end() ? &*at : nullptr;
}

size_t TableRows::RowOfOrAfter(uint64_t key) const {
    return size_t(std::lower_bound(shown_.begin(), shown_.end(), key) - shown_.begin());
}

size_t TableRows::RowOf(uint64_t key, const std::vector<CanRecord>& records) const {
    if (hiding_) {
        size_t row = RowOfOrAfter(key);
        return row < shown_.size() && shown_[row] == key ? row : SIZE_MAX;
    }
    auto at = Find(records, key);
    return at != records.end() ? size_t(at - records.begin()) : SIZE_MAX;
}

std::vector<size_t> TableRows::Expired(size_t first, size_t end,
                                       const std::vector<CanRecord>& records,
                                       const BusStatistics& statistics) const {
    std::vector<size_t> rows;
    const bool hold = look_.holdUs > 0;
    const bool grey = look_.silence == TableLook::Silence::Grey;
    if (!hold && !grey) {
        return rows;
    }
    for (size_t row = first; row < std::min(end, size(records)); ++row) {
        const CanRecord* r = At(row, records);
        const BusStatistics::Identifier* ident = r ? statistics.Find(r->Key()) : nullptr;
        if (!ident) {
            continue;
        }
        bool changed = grey && Crossed(ident->lastUs + look_.quietUs);
        // Every change is at or before the last frame: no hold of this
        // row can have ended since the last update when that one had.
        if (hold && !changed && ident->lastUs + look_.holdUs > previousUs_) {
            for (int bit = 0; bit < 64 && !changed; ++bit) {
                changed =
                    ident->changedUs[bit] != 0 && Crossed(ident->changedUs[bit] + look_.holdUs);
            }
        }
        if (changed) {
            rows.push_back(row);
        }
    }
    return rows;
}

}  // namespace k57
