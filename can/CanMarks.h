#pragma once

#include <cstdint>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace k57 {

// How the value the technician watches moved at a mark: the signal search
// looks for the field that moved so.
enum class CanMove : uint8_t { None, Up, Down, Same };

// The moments a technician marked while watching the bus ("the door opens
// now"), each with an optional label, on the capture's clock.
struct CanMark {
    int64_t us = 0;     // microseconds, the clock of the frames' times
    std::string label;  // UTF-8, may be empty
    CanMove move = CanMove::None;
};

class CanMarks {
  public:
    struct Problem {
        int line;
        std::string message;
    };

    void Add(int64_t us, const std::string& label = {}, CanMove move = CanMove::None);
    // The mark at `index` (in time order); false when there is none.
    bool Remove(size_t index);
    // Takes back the last Add or Remove not yet taken back; false when none
    // is left. The last kMaxUndo are kept.
    bool Undo();
    static constexpr size_t kMaxUndo = 1000;
    void Clear();
    const std::vector<CanMark>& marks() const { return marks_; }  // in time order
    std::vector<int64_t> Times() const;
    size_t size() const { return marks_.size(); }
    // Changes with every change of the marks: a list shown knows it is old.
    // Drawn from one count for every CanMarks, so marks read anew never
    // carry a revision seen before.
    uint64_t revision() const { return revision_; }

    // A marks file: one mark a line, its time in seconds ("1436509052.25"),
    // then optionally blanks and a label, then optionally the move ("up",
    // "down" or "same", the line's last word; "-" for none, written after a
    // label that itself ends in such a word); '#' starts a comment. Lines
    // that are not a mark are passed over, the first kMaxProblems reported
    // by number.
    static constexpr size_t kMaxProblems = 100;
    static CanMarks Read(std::istream& in, std::vector<Problem>& problems);
    void Write(std::ostream& out) const;
    // Where a capture's marks are kept: beside its log.
    static std::string SidecarPath(const std::string& logPath) { return logPath + ".marks"; }
    // A time as the file writes it: "1436509052.250000".
    static std::string SecondsText(int64_t us);
    // "up", "down", "same"; "" for None.
    static const char* MoveWord(CanMove move);

  private:
    struct Change {
        bool added;
        CanMark mark;
    };
    void Insert(const CanMark& mark);
    static uint64_t NextRevision();
    void Remember(bool added, const CanMark& mark);

    std::vector<CanMark> marks_;
    std::vector<Change> undo_;
    uint64_t revision_ = NextRevision();
};

}  // namespace k57
