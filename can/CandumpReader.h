#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace k57 {

// One frame of a candump log.
struct CandumpFrame {
    int64_t microseconds = 0;  // since the epoch, as the stamp says
    std::string interface;
    uint32_t id = 0;
    bool extended = false;  // written with 8 digits
    bool remote = false;    // "ID#R": no data
    uint8_t length = 0;     // data bytes; a remote frame's requested length
    uint8_t data[8] = {};
};

// Reads a candump log as CanFrameLog writes it and can-utils' candump -l
// does: "(1436509052.249713) can0 1A0#0011223344556677", extended
// identifiers with 8 hex digits, remote frames "ID#R" with an optional
// length digit. CAN FD lines ("ID##...") are counted and passed over; a
// malformed line is noted with its number and reading goes on.
class CandumpReader {
  public:
    struct Problem {
        int line;
        std::string message;
    };
    // The problems kept; those beyond are only counted.
    static constexpr size_t kMaxProblems = 100;

    explicit CandumpReader(std::istream& in) : in_(in) {}

    // The next frame, or false at the end of the log.
    bool Next(CandumpFrame& frame);

    int lineNumber() const { return line_; }
    int canFdSkipped() const { return canFd_; }
    int malformed() const { return malformed_; }
    const std::vector<Problem>& problems() const { return problems_; }

  private:
    void Malformed(const std::string& message);

    std::istream& in_;
    // Reused from line to line, so that reading allocates nothing.
    std::string lineText_, reason_;
    int line_ = 0;
    int canFd_ = 0;
    int malformed_ = 0;
    std::vector<Problem> problems_;
};

// One candump line: the frame, or the reason it is not one. An empty
// `reason` with false means a CAN FD line.
bool ParseCandumpLine(const std::string& line, CandumpFrame& frame, std::string& reason);

}  // namespace k57
