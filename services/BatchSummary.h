#pragma once

#include <chrono>
#include <string>

#include "BatchUnit.h"

namespace k57 {

// A time as files of a run are named: local time, "yyyyMMdd-HHmmss".
std::string LocalStamp(std::chrono::system_clock::time_point time);
// A time as the summary has it: UTC, ISO 8601 ("2026-12-09T05:51:36Z").
std::string UtcIsoText(std::chrono::system_clock::time_point time);

// The run's summary in its report folder: "batch-<yyyyMMdd-HHmmss>.csv"
// after the run's start, one line per unit, for a spreadsheet or the
// production's records (UTF-8, RFC 4180 quoting, CR LF). Each unit's line
// is added as the unit finishes, and the file on disk is always whole lines:
// every addition saves the whole summary beside it and renames it over
// (SafeSave), so a full disk or a pulled USB stick leaves the lines before
// it, and the next addition that succeeds carries the lines that failed.
// Not thread-safe: a run with several ports adds its lines under one lock.
class BatchSummary {
  public:
    BatchSummary(const std::string& folder, std::chrono::system_clock::time_point started);

    const std::string& path() const { return path_; }
    // The header alone. False, with the reason (UTF-8), when the file cannot
    // be written or a file of its name is there already (another run's).
    bool Start(std::string& error);
    // The unit's line, `certificate` the name of its certificate's file
    // (empty: none). False, with the reason, when the file could not be
    // saved; the line is kept for the next addition.
    bool Add(const BatchUnitResult& unit, const std::string& certificate, std::string& error);

    static const char* Header();
    static std::string Line(const BatchUnitResult& unit, const std::string& certificate);

  private:
    std::string path_;
    std::string text_;
};

}  // namespace k57
