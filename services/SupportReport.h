#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "TraceEntry.h"

namespace k57 {

class Journal;

// The unit as last read by the front end: its serial number and its
// version reply's text (Windows-1251, type, version and build a line each).
struct ReportedUnit {
    std::optional<uint32_t> serial;
    std::string versionText;
};

// What a support report holds, gathered by the front end; the report puts
// it into one UTF-8 text.
struct SupportReportInput {
    std::string program;       // "k57tool": the version line names it
    std::string port;          // as the user sees it ("COM5")
    std::string portSettings;  // the line settings
    ReportedUnit unit;
    std::vector<TraceEntry> trace;  // the latest trace entries, oldest first
    std::vector<std::string> log;   // the window's log, a line each (UTF-8)
    // The service journal, when there is one: the unit's entries go in.
    Journal* journal = nullptr;
};

// The report: the tool's version and build, the operating system and the Qt
// version, the port and its settings, the unit, the trace, the log and the
// unit's journal entries, each under its own heading. The settings' PIN and
// phone numbers never appear in clear: the trace's settings texts are
// masked, the journal's settings texts left out.
std::string BuildSupportReport(const SupportReportInput& input);

// The trace entries' lines with every settings text in them masked: frames
// of settings, and bytes that are no known frame (what was left on the
// line may be the rest of one).
std::vector<std::string> MaskedTraceLines(const std::vector<TraceEntry>& entries);

}  // namespace k57
