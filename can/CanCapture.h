#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "CanRecord.h"

namespace k57 {

// The table of CAN identifiers seen, the capture list of changes, and the
// counters, built from the unit's frame lines.
class CanCapture {
  public:
    static constexpr size_t kCaptureRows = 30;

    // Reads a frame line. The unit's own line: "t", 3 hex digits of
    // identifier, 1 of length code, 16 of data, 4 of trailer, then CR. And
    // the lines of serial CAN adapters: "t" + 3 digits or "T" + 8 digits of
    // identifier, the length code and only that many data bytes, or "r"/"R"
    // with no data (remote frames); each with or without a 4-digit stamp,
    // then CR. Anything else is not a frame.
    static bool ParseCanFrame(const std::string& line, CanRecord& record);
    // Applies `frame` to `record` of the same identifier; true when a
    // watched bit changed.
    static bool MergeFrame(CanRecord& record, const CanRecord& frame, FilterMode mode);

    // Stores a parsed frame; true when it created or changed a record.
    bool UpdateRecord(const CanRecord& frame, FilterMode mode, bool capture);
    // The whole handling of one received line, or of a frame parsed from one.
    void HandleLine(const std::string& line, FilterMode mode, bool capture);
    void HandleFrame(const CanRecord& frame, FilterMode mode, bool capture);

    // What changed since the last TakeDamage: rows whose entries changed, and
    // the first row from which all moved (a new identifier came in).
    struct Damage {
        std::vector<size_t> rows;
        size_t movedFrom = SIZE_MAX;
        bool any() const { return !rows.empty() || movedFrom != SIZE_MAX; }
    };
    Damage TakeDamage();

    // Empties the table; every identifier starts afresh, all bits watched.
    void ClearRecords();
    void ClearCaptured() { captured_.clear(); }
    // Keeps the newest kCaptureRows entries of Captured.
    void TrimCaptured();
    // A filter was switched on: its changes are counted from 0.
    void ResetCounter() { counter_ = 0; }
    // The channel opened: its frame lines are counted from 0.
    void ResetMessageCounter() { messageCounter_ = 0; }
    // Everything back to the start: no records, no captures, counters at 0.
    void Reset();
    // Only the records `keep` passes stay (an identifier filter changed);
    // the captured changes of the others go with them.
    void Keep(const std::function<bool(const CanRecord&)>& keep);
    // Every bit of every record watched again, as before a filter retired
    // it, and the capture list emptied so that it fills again.
    void Unnotch();
    // The same for the one record of `key` (CanRecord::Key); false when
    // there is none.
    bool Unnotch(uint64_t key);

    const std::vector<CanRecord>& Records() const { return records_; }    // ascending identifiers
    const std::vector<CanRecord>& Captured() const { return captured_; }  // oldest first
    int32_t MessageCounter() const { return messageCounter_; }  // frame lines parsed
    int32_t Counter() const { return counter_; }  // changes seen while a filter is on

  private:
    // The row of an identifier: searched in a copy of the records' keys,
    // which stays in the processor's cache where the records do not.
    size_t RowFor(const CanRecord& frame) const;

    std::vector<CanRecord> records_;
    std::vector<CanRecord> captured_;
    int32_t messageCounter_ = 0;
    int32_t counter_ = 0;
    Damage damage_;
    // records_' keys, in the same order. Only UpdateRecord and ClearRecords
    // change records_, and each changes keys_ with it, so the two agree.
    std::vector<uint64_t> keys_;
};

}  // namespace k57
