#include "CanMarks.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>

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

CanMarks CanMarks::Read(std::istream& in, std::vector<Problem>& problems) {
    CanMarks marks;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
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
            problems.push_back({number, "not a time in seconds: " + line});
            continue;
        }
        std::string label = end;
        label.erase(0, label.find_first_not_of(" \t"));
        label.erase(label.find_last_not_of(" \t\r") + 1);
        marks.Add(std::llround(seconds * 1e6), label);
    }
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
