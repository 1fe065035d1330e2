#include "CanMarks.h"

#include <algorithm>
#include <atomic>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "CanRecording.h"
#include "FileRead.h"

namespace k57 {

uint64_t CanMarks::NextRevision() {
    static std::atomic<uint64_t> last{0};
    return ++last;
}

void CanMarks::Insert(const CanMark& mark) {
    auto at = std::upper_bound(marks_.begin(), marks_.end(), mark.us,
                               [](int64_t t, const CanMark& m) { return t < m.us; });
    marks_.insert(at, mark);
    revision_ = NextRevision();
}

void CanMarks::Remember(bool added, const CanMark& mark) {
    if (undo_.size() == kMaxUndo) {
        undo_.erase(undo_.begin());
    }
    undo_.push_back({added, mark});
}

void CanMarks::Add(int64_t us, const std::string& label, CanMove move) {
    CanMark mark{us, label, move};
    Insert(mark);
    Remember(true, mark);
}

bool CanMarks::Remove(size_t index) {
    if (index >= marks_.size()) {
        return false;
    }
    Remember(false, marks_[index]);
    marks_.erase(marks_.begin() + long(index));
    revision_ = NextRevision();
    return true;
}

bool CanMarks::Undo() {
    if (undo_.empty()) {
        return false;
    }
    Change change = undo_.back();
    undo_.pop_back();
    if (!change.added) {
        Insert(change.mark);
        return true;
    }
    // The latest of its equals: the one Add placed last.
    for (size_t i = marks_.size(); i-- > 0;) {
        const CanMark& m = marks_[i];
        if (m.us == change.mark.us && m.label == change.mark.label && m.move == change.mark.move) {
            marks_.erase(marks_.begin() + long(i));
            revision_ = NextRevision();
            return true;
        }
    }
    return false;
}

void CanMarks::Clear() {
    marks_.clear();
    undo_.clear();
    revision_ = NextRevision();
}

std::vector<int64_t> CanMarks::Times() const {
    std::vector<int64_t> times;
    times.reserve(marks_.size());
    for (const CanMark& mark : marks_) {
        times.push_back(mark.us);
    }
    return times;
}

const char* CanMarks::MoveWord(CanMove move) {
    switch (move) {
        case CanMove::Up:
            return "up";
        case CanMove::Down:
            return "down";
        case CanMove::Same:
            return "same";
        case CanMove::None:
            break;
    }
    return "";
}

namespace {

void Report(std::vector<CanMarks::Problem>& problems, CanMarks::Problem problem) {
    if (problems.size() < CanMarks::kMaxProblems) {
        problems.push_back(std::move(problem));
    }
}

// The line's last word when it names a move: taken off the label.
CanMove TakeMove(std::string& label) {
    size_t blank = label.find_last_of(" \t");
    std::string word = label.substr(blank == std::string::npos ? 0 : blank + 1);
    for (CanMove move : {CanMove::None, CanMove::Up, CanMove::Down, CanMove::Same}) {
        if (word == (move == CanMove::None ? "-" : CanMarks::MoveWord(move))) {
            label.erase(blank == std::string::npos ? 0 : blank);
            label.erase(label.find_last_not_of(" \t") + 1);
            return move;
        }
    }
    return CanMove::None;
}

}  // namespace

CanMarks CanMarks::Read(std::istream& in, std::vector<Problem>& problems) {
    CanMarks marks;
    std::string line;
    bool cut = false;
    for (int number = 1; ReadLine(in, line, FileLimits::kLine, cut); ++number) {
        if (cut) {
            Report(problems, {number, LongLine()});
            continue;
        }
        line = line.substr(0, line.find('#'));
        size_t start = line.find_first_not_of(" \t\r");
        if (start == std::string::npos) {
            continue;
        }
        const char* text = line.c_str() + start;
        char* end = nullptr;
        double seconds = std::strtod(text, &end);
        if (end == text || !std::isfinite(seconds) || (*end && *end != ' ' && *end != '\t' &&
                                                        *end != '\r')) {
            Report(problems, {number, "not a time in seconds: " + line});
            continue;
        }
        std::string label = end;
        label.erase(0, label.find_first_not_of(" \t"));
        label.erase(label.find_last_not_of(" \t\r") + 1);
        CanMove move = TakeMove(label);
        marks.marks_.push_back({std::llround(seconds * 1e6), label, move});
    }
    // Sorted once at the end: a long file in falling order costs no more
    // than a sorted one. Marks at the same time keep their file order.
    std::stable_sort(marks.marks_.begin(), marks.marks_.end(),
                     [](const CanMark& a, const CanMark& b) { return a.us < b.us; });
    return marks;
}

std::string CanMarks::SecondsText(int64_t us) {
    char time[40];
    const char* sign = us < 0 ? "-" : "";
    uint64_t magnitude = us < 0 ? uint64_t(0) - uint64_t(us) : uint64_t(us);
    std::snprintf(time, sizeof time, "%s%" PRIu64 ".%06" PRIu64, sign, magnitude / 1000000,
                  magnitude % 1000000);
    return time;
}

void CanMarks::Write(std::ostream& out) const {
    out << "# marks: seconds on the capture's clock, then the label, then up, down or same\n";
    for (const CanMark& mark : marks_) {
        out << SecondsText(mark.us) << (mark.label.empty() ? "" : " ") << mark.label;
        std::string last = mark.label;
        if (mark.move != CanMove::None) {
            out << ' ' << MoveWord(mark.move);
        } else if (TakeMove(last) != CanMove::None || last != mark.label) {
            out << " -";  // a label that ends in a move's word is not a move
        }
        out << '\n';
    }
}

}  // namespace k57
