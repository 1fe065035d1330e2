#pragma once

#include <string>
#include <vector>

#include "CanRecord.h"

namespace k57 {

// The table of CAN identifiers seen, the capture list of changes, and the
// counters, built from the unit's frame lines.
class CanCapture {
  public:
    static constexpr size_t kCaptureRows = 30;

    // Reads a frame line: "t", 3 hex digits of identifier, 1 of length code,
    // 16 of data, 4 of trailer, then CR. Anything else is not a frame.
    static bool ParseCanFrame(const std::string& line, CanRecord& record);
    // Applies `frame` to `record` of the same identifier; true when a
    // watched bit changed.
    static bool MergeFrame(CanRecord& record, const CanRecord& frame, FilterMode mode);

    // Stores a parsed frame; true when it created or changed a record.
    bool UpdateRecord(const CanRecord& frame, FilterMode mode, bool capture);
    // The whole handling of one received line.
    void HandleLine(const std::string& line, FilterMode mode, bool capture);

    void ClearRecords() { Records.clear(); }
    void ClearCaptured() { Captured.clear(); }
    // Keeps the newest kCaptureRows entries of Captured.
    void TrimCaptured();

    std::vector<CanRecord> Records;   // ascending identifiers
    std::vector<CanRecord> Captured;  // oldest first
    int32_t MessageCounter = 0;       // frame lines parsed
    int32_t Counter = 0;              // changes seen while a filter is on
};

}  // namespace k57
