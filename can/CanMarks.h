#pragma once

#include <cstdint>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace k57 {

// The moments a technician marked while watching the bus ("the door opens
// now"), each with an optional label, on the capture's clock.
struct CanMark {
    int64_t us = 0;     // microseconds, the clock of the frames' times
    std::string label;  // UTF-8, may be empty
};

class CanMarks {
  public:
    struct Problem {
        int line;
        std::string message;
    };

    void Add(int64_t us, const std::string& label = {});
    void Clear() { marks_.clear(); }
    const std::vector<CanMark>& marks() const { return marks_; }  // in time order
    std::vector<int64_t> Times() const;
    size_t size() const { return marks_.size(); }

    // A marks file: one mark a line, its time in seconds ("1436509052.25"),
    // then optionally blanks and a label; '#' starts a comment. Lines that
    // are not a mark are passed over, the first kMaxProblems reported by
    // number.
    static constexpr size_t kMaxProblems = 100;
    static CanMarks Read(std::istream& in, std::vector<Problem>& problems);
    void Write(std::ostream& out) const;
    // Where a capture's marks are kept: beside its log.
    static std::string SidecarPath(const std::string& logPath) { return logPath + ".marks"; }

  private:
    std::vector<CanMark> marks_;
};

}  // namespace k57
