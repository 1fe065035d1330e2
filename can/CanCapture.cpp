#include "CanCapture.h"

#include <algorithm>

#include "HexDigit.h"

namespace k57 {

namespace {

int HexValue(char c) {
    return HexDigit(c);
}

// The value of `digits` hex digits from `at`.
unsigned Hex(const std::string& line, size_t at, int digits) {
    unsigned value = 0;
    for (int i = 0; i < digits; ++i) {
        value = value * 16 + unsigned(HexValue(line[at + size_t(i)]));
    }
    return value;
}

}  // namespace

bool CanCapture::ParseCanFrame(const std::string& line, CanRecord& record) {
    if (line.size() < 6 || line.back() != '\r') {
        return false;
    }
    for (size_t i = 1; i + 1 < line.size(); ++i) {
        if (HexValue(line[i]) < 0) {
            return false;
        }
    }
    char kind = line[0];
    bool extended = kind == 'T' || kind == 'R';
    bool remote = kind == 'r' || kind == 'R';
    if (kind != 't' && !extended && !remote) {
        return false;
    }
    size_t idDigits = extended ? 8 : 3;
    if (line.size() < idDigits + 3) {
        return false;
    }
    unsigned dlc = Hex(line, 1 + idDigits, 1);
    size_t head = 2 + idDigits;
    // The unit's fixed line always carries 16 data digits; an adapter's only
    // the frame's bytes, none for a remote frame.
    size_t dataDigits = kind == 't' && line.size() == 26 ? 16 : remote ? 0 : 2 * size_t(dlc);
    size_t rest = line.size() - 1 - head;
    if ((kind != 't' || line.size() != 26) && dlc > 8) {
        return false;
    }
    if (rest != dataDigits && rest != dataDigits + 4) {
        return false;
    }
    record = CanRecord{};
    record.id = Hex(line, 1, int(idDigits));
    record.extended = extended;
    record.remote = remote;
    record.dlc = uint8_t(dlc);
    for (size_t i = 0; i < dataDigits / 2; ++i) {
        record.data[i] = uint8_t(Hex(line, head + 2 * i, 2));
    }
    record.stamped = rest > dataDigits;
    record.stamp = record.stamped ? int32_t(Hex(line, head + dataDigits, 4)) : 0;
    return true;
}

bool CanCapture::MergeFrame(CanRecord& record, const CanRecord& frame, FilterMode mode) {
    if (!record.SameIdentifier(frame)) {
        return false;
    }
    bool result = false;
    record.stamp = frame.stamp;
    if (frame.remote) {
        return false;  // a request for data carries none
    }
    record.remote = false;
    for (int i = 0; i < 8; ++i) {
        uint8_t old = record.data[i];
        record.data[i] = frame.data[i];
        uint8_t d = uint8_t((old ^ frame.data[i]) & record.mask[i]);
        record.changed[i] = d;
        if (d != 0) {
            result = true;
            if (mode == FilterMode::Bit) {
                record.mask[i] = uint8_t(record.mask[i] & ~d);
            } else if (mode == FilterMode::Byte) {
                record.mask[i] = 0;
            }
        }
    }
    return result;
}

size_t CanCapture::RowFor(const CanRecord& frame) const {
    return size_t(std::lower_bound(keys_.begin(), keys_.end(), frame.Key()) - keys_.begin());
}

bool CanCapture::UpdateRecord(const CanRecord& frame, FilterMode mode, bool capture) {
    size_t row = RowFor(frame);
    auto at = records_.begin() + long(row);
    if (at == records_.end() || !at->SameIdentifier(frame)) {
        keys_.insert(keys_.begin() + long(row), frame.Key());
        records_.insert(at, frame);  // a new record is never captured
        damage_.movedFrom = std::min(damage_.movedFrom, row);
        return true;
    }
    bool changed = MergeFrame(*at, frame, mode);
    if (damage_.rows.size() < 4096) {
        damage_.rows.push_back(row);  // its stamp changed at least
    } else {
        damage_.movedFrom = 0;
    }
    if (!changed) {
        return false;
    }
    if (capture) {
        captured_.push_back(*at);
    }
    return true;
}

CanCapture::Damage CanCapture::TakeDamage() {
    Damage taken;
    std::swap(taken, damage_);
    // A busy identifier is marked once per frame; each row is repainted once.
    std::sort(taken.rows.begin(), taken.rows.end());
    taken.rows.erase(std::unique(taken.rows.begin(), taken.rows.end()), taken.rows.end());
    return taken;
}

void CanCapture::HandleLine(const std::string& line, FilterMode mode, bool capture) {
    CanRecord frame;
    if (ParseCanFrame(line, frame)) {
        HandleFrame(frame, mode, capture);
    }
}

void CanCapture::HandleFrame(const CanRecord& frame, FilterMode mode, bool capture) {
    ++messageCounter_;
    if (UpdateRecord(frame, mode, capture) && mode != FilterMode::None) {
        ++counter_;
    }
}

void CanCapture::ClearRecords() {
    records_.clear();
    keys_.clear();
    damage_ = Damage{};
    damage_.movedFrom = 0;  // every row that was shown is gone
}

void CanCapture::TrimCaptured() {
    if (captured_.size() > kCaptureRows) {
        captured_.erase(captured_.begin(), captured_.end() - long(kCaptureRows));
    }
}

void CanCapture::Keep(const std::function<bool(const CanRecord&)>& keep) {
    auto gone = [&](const CanRecord& r) { return !keep(r); };
    size_t before = records_.size();
    records_.erase(std::remove_if(records_.begin(), records_.end(), gone), records_.end());
    captured_.erase(std::remove_if(captured_.begin(), captured_.end(), gone), captured_.end());
    if (records_.size() != before) {
        keys_.clear();
        for (const CanRecord& r : records_) {
            keys_.push_back(r.Key());
        }
        damage_ = Damage{};
        damage_.movedFrom = 0;
    }
}

void CanCapture::Unnotch() {
    for (size_t row = 0; row < records_.size(); ++row) {
        std::fill(std::begin(records_[row].mask), std::end(records_[row].mask), uint8_t(0xFF));
    }
    captured_.clear();
    damage_.movedFrom = 0;
}

bool CanCapture::Unnotch(uint64_t key) {
    auto at = std::lower_bound(keys_.begin(), keys_.end(), key);
    if (at == keys_.end() || *at != key) {
        return false;
    }
    size_t row = size_t(at - keys_.begin());
    std::fill(std::begin(records_[row].mask), std::end(records_[row].mask), uint8_t(0xFF));
    damage_.rows.push_back(row);
    return true;
}

void CanCapture::Reset() {
    ClearRecords();
    ClearCaptured();
    ResetCounter();
    ResetMessageCounter();
}

}  // namespace k57
