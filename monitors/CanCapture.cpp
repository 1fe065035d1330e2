#include "CanCapture.h"

#include <algorithm>

namespace k57 {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
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
    constexpr size_t kLength = 26;
    if (line.size() != kLength || line[0] != 't' || line[kLength - 1] != '\r') {
        return false;
    }
    for (size_t i = 1; i < kLength - 1; ++i) {
        if (HexValue(line[i]) < 0) {
            return false;
        }
    }
    record.id = uint16_t(Hex(line, 1, 3));
    record.dlc = uint8_t(Hex(line, 4, 1));
    for (size_t i = 0; i < 8; ++i) {
        record.data[i] = uint8_t(Hex(line, 5 + 2 * i, 2));
    }
    record.stamp = int32_t(Hex(line, 21, 4));
    return true;
}

bool CanCapture::MergeFrame(CanRecord& record, const CanRecord& frame, FilterMode mode) {
    if (record.id != frame.id) {
        return false;
    }
    bool result = false;
    record.stamp = frame.stamp;
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

bool CanCapture::UpdateRecord(const CanRecord& frame, FilterMode mode, bool capture) {
    auto at = std::lower_bound(Records.begin(), Records.end(), frame.id,
                               [](const CanRecord& r, uint16_t id) { return r.id < id; });
    if (at == Records.end() || at->id != frame.id) {
        Records.insert(at, frame);  // a new record is never captured
        return true;
    }
    if (!MergeFrame(*at, frame, mode)) {
        return false;
    }
    if (capture) {
        Captured.push_back(*at);
    }
    return true;
}

void CanCapture::HandleLine(const std::string& line, FilterMode mode, bool capture) {
    CanRecord frame;
    if (!ParseCanFrame(line, frame)) {
        return;
    }
    ++MessageCounter;
    if (UpdateRecord(frame, mode, capture) && mode != FilterMode::None) {
        ++Counter;
    }
}

void CanCapture::TrimCaptured() {
    if (Captured.size() > kCaptureRows) {
        Captured.erase(Captured.begin(), Captured.end() - long(kCaptureRows));
    }
}

}  // namespace k57
