#include "CanMarks.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "CanRecording.h"
#include "FileRead.h"

namespace k57 {

void CanMarks::Add(int64_t us, const std::string& label) {
    CanMark mark{us, label};
    auto at = std::upper_bound(marks_.begin(), marks_.end(), us,
                               [](int64_t t, const CanMark& m) { return t < m.us; });
    marks_.insert(at, mark);
}

std::vector<int64_t> CanMarks::Times() const {
    std::vector<int64_t> times;
    times.reserve(marks_.size());
    for (const CanMark& mark : marks_) {
        times.push_back(mark.us);
    }
    return times;
}

namespace {

void Report(std::vector<CanMarks::Problem>& problems, CanMarks::Problem problem) {
    if (problems.size() < CanMarks::kMaxProblems) {
        problems.push_back(std::move(problem));
    }
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
        marks.marks_.push_back({std::llround(seconds * 1e6), label});
    }
    // Sorted once at the end: a long file in falling order costs no more
    // than a sorted one. Marks at the same time keep their file order.
    std::stable_sort(marks.marks_.begin(), marks.marks_.end(),
                     [](const CanMark& a, const CanMark& b) { return a.us < b.us; });
    return marks;
}

void CanMarks::Write(std::ostream& out) const {
    out << "# marks: seconds on the capture's clock, then the label\n";
    for (const CanMark& mark : marks_) {
        char time[40];
        int64_t us = mark.us;
        const char* sign = us < 0 ? "-" : "";
        us = us < 0 ? -us : us;
        std::snprintf(time, sizeof time, "%s%" PRId64 ".%06" PRId64, sign, us / 1000000,
                      us % 1000000);
        out << time << (mark.label.empty() ? "" : " ") << mark.label << '\n';
    }
}

}  // namespace k57
