#pragma once

#include <optional>
#include <string>
#include <vector>

namespace k57 {

// The unit's diagnostic text: lines tagged "$AccD:" (three axis readings),
// "$AccE:", "$VS:" and "$Can:" (events). Bytes arrive in arbitrary pieces; a
// line is handled once its end has arrived, and only within itself.
class DiagnosticLines {
  public:
    struct Result {
        // x, y, z as the "$AccD:" lines left them; a line that carried
        // fewer values leaves the others as they were.
        std::optional<int> axis[3];
        std::vector<std::string> events;  // event lines, tag included
        // Every "$AccD:" line's values as real numbers, in arrival order;
        // NaN for a value the line did not carry.
        struct Reading {
            double axis[3];
        };
        std::vector<Reading> readings;
    };

    // Takes the bytes of one tick; returns what their complete lines say.
    Result Feed(const std::string& bytes);

    static constexpr size_t kMaxPending = 4096;

  private:
    void HandleLine(const std::string& line, Result& result) const;

    std::string pending_;
};

// A decimal real number as the unit writes it, read as far as it is one
// (0 when it is none), narrowed to single precision and truncated.
int ReadingValue(const std::string& token);
// The same number unnarrowed and untruncated, whatever the process's locale.
double ReadingReal(const std::string& token);

}  // namespace k57
