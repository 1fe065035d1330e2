// can stats and can hunt: a capture file summed up per identifier, or its
// bits ranked against the technician's marks. No unit needed.

#include <QJsonArray>
#include <QJsonObject>
#include <algorithm>
#include <cstdio>

#include "CanHunt.h"
#include "Commands.h"
#include "ExitCodes.h"

namespace k57::ctl {

bool LoadCapture(const std::string& log, const std::string& filterText, CanRecording& recording,
                 int& exitCode) {
    CanFilter filter;
    std::string error;
    if (!CanFilter::Parse(filterText, filter, error)) {
        exitCode = Fail("--filter: " + error, kBadInput);
        return false;
    }
    if (!CanHunt::ReadCapture(log, filter, recording, error)) {
        exitCode = ReadFailed(log, error);
        return false;
    }
    PrintCaptureProblems(log, recording);
    return true;
}

void PrintCaptureProblems(const std::string& log, const CanRecording& recording) {
    for (const CanRecording::Problem& problem : recording.problems) {
        if (problem.line > 0) {
            std::fprintf(stderr, "%s:%d: %s\n", log.c_str(), problem.line, problem.message.c_str());
        } else {  // a binary file's: the message says where
            std::fprintf(stderr, "%s: %s\n", log.c_str(), problem.message.c_str());
        }
    }
    if (recording.malformed > int(recording.problems.size())) {
        std::fprintf(stderr, "%s: %d more malformed lines\n", log.c_str(),
                     recording.malformed - int(recording.problems.size()));
    }
}

int CanStats(const Context& context, const std::string& log, const std::string& filter) {
    CanRecording recording;
    int code = kDone;
    if (!LoadCapture(log, filter, recording, code)) {
        return code;
    }
    BusStatistics statistics = CanHunt::Statistics(recording.frames);
    const std::unordered_map<uint64_t, double> medians =
        BusStatistics::MedianPeriodsMs(recording.frames);
    std::vector<BusStatistics::Identifier> rows = statistics.identifiers();
    std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
        return std::make_pair(a.extended, a.id) < std::make_pair(b.extended, b.id);
    });
    QJsonArray array;
    if (!context.json && !context.quiet) {
        std::printf("%-8s %10s %10s %10s %10s  %s\n", "id", "frames", "frames/s", "period ms",
                    "median ms", "changing bits (byte:mask)");
    }
    for (const BusStatistics::Identifier& row : rows) {
        const auto median = medians.find((uint64_t(row.extended) << 32) | row.id);
        const double medianMs = median == medians.end() ? 0 : median->second;
        QJsonArray changing;
        std::string bits;
        for (int byte = 0; byte < 8; ++byte) {
            uint8_t mask = row.ChangingBits(byte);
            for (int bit = 7; bit >= 0; --bit) {
                if (mask & (1u << bit)) {
                    changing.append(QJsonObject{{"byte", byte},
                                                {"bit", bit},
                                                {"flips", qint64(row.flips[8 * byte + bit])}});
                }
            }
            if (mask) {
                char text[8];
                std::snprintf(text, sizeof text, " %d:%02X", byte, unsigned(mask));
                bits += text;
            }
        }
        if (context.json) {
            array.append(QJsonObject{{"id", CanIdText(row.id, row.extended)},
                                     {"extended", row.extended},
                                     {"count", qint64(row.frames)},
                                     {"rate", row.Rate()},
                                     {"period_ms", row.PeriodMs()},
                                     {"period_median_ms", medianMs},
                                     {"changing", changing}});
        } else {
            std::printf("%-8s %10llu %10.1f %10.1f %10.1f %s\n",
                        CanIdText(row.id, row.extended).toLatin1().constData(),
                        static_cast<unsigned long long>(row.frames), row.Rate(), row.PeriodMs(),
                        medianMs, bits.c_str());
        }
    }
    if (context.json) {
        PrintJsonArray(array);
    }
    return kDone;
}

namespace {

// The marks file, its unreadable lines on stderr.
bool LoadMarks(const std::string& marksFile, CanMarks& marks, int& exitCode) {
    std::vector<CanMarks::Problem> problems;
    std::string error;
    if (!CanHunt::ReadMarks(marksFile, marks, problems, error)) {
        exitCode = ReadFailed(marksFile, error);
        return false;
    }
    for (const CanMarks::Problem& problem : problems) {
        std::fprintf(stderr, "%s:%d: %s\n", marksFile.c_str(), problem.line,
                     problem.message.c_str());
    }
    return true;
}

// The capture, and the marks within its time.
bool LoadMarked(const std::string& log, const std::string& filter, const std::string& marksFile,
                const CanMarks& marks, CanRecording& recording, int& exitCode) {
    if (!LoadCapture(log, filter, recording, exitCode)) {
        return false;
    }
    std::string outside = CanHunt::MarksOutside(recording.frames, marks);
    if (!outside.empty()) {
        exitCode = Fail(marksFile + ": " + outside, kBadInput);
        return false;
    }
    return true;
}

// --window in microseconds; 0 (not given) keeps the default.
int64_t WindowUs(double seconds, int64_t otherwise) {
    return seconds > 0 ? int64_t(seconds * 1e6) : otherwise;
}

}  // namespace

int CanHuntFile(const Context& context, const std::string& log, const std::string& marksFile,
                const std::string& filter, double windowSeconds) {
    CanMarks marks;
    int code = kDone;
    if (!LoadMarks(marksFile, marks, code)) {
        return code;
    }
    if (marks.size() < 2) {
        return Fail(marksFile + ": the hunt needs two marks or more", kBadInput);
    }
    CanRecording recording;
    if (!LoadMarked(log, filter, marksFile, marks, recording, code)) {
        return code;
    }
    SignalHunt::Options options;
    options.afterUs = WindowUs(windowSeconds, options.afterUs);
    std::vector<SignalHunt::Candidate> ranking = CanHunt::Rank(recording.frames, marks, options);
    if (context.json) {
        // Bits only: a consumer may rely on every entry naming one.
        QJsonArray array;
        for (const SignalHunt::Candidate& c : ranking) {
            if (c.bit >= 0) {
                const char* change = c.toggles ? "toggle" : c.after > c.before ? "rise" : "fall";
                array.append(QJsonObject{{"id", CanIdText(c.id, c.extended)},
                                         {"extended", c.extended},
                                         {"byte", c.byte},
                                         {"bit", c.bit},
                                         {"score", c.score},
                                         {"marks", c.marksHit},
                                         {"changes", qint64(c.changes)},
                                         {"before", c.before},
                                         {"after", c.after},
                                         {"change", change}});
            }
        }
        PrintJsonArray(array);
        return kDone;
    }
    if (ranking.empty()) {
        Say(context, "no bit changed after the marks");
    }
    for (const SignalHunt::Candidate& c : ranking) {
        std::printf("%s\n", c.Text(marks.size()).c_str());
    }
    return kDone;
}

int CanSearchFile(const Context& context, const std::string& log, const std::string& marksFile,
                  const std::string& filter, double windowSeconds, int most) {
    CanMarks marks;
    int code = kDone;
    if (!LoadMarks(marksFile, marks, code)) {
        return code;
    }
    const size_t moving = SignalSearch::MarksWithMove(marks.marks());
    if (moving == 0) {
        return Fail(marksFile +
                        ": no mark says how the value moved: end its line with up, down or same",
                    kBadInput);
    }
    if (moving < marks.size()) {  // the search has nothing to compare them with
        const size_t still = marks.size() - moving;
        std::fprintf(stderr, "k57ctl: %s: %zu mark%s without a move left out\n",
                     marksFile.c_str(), still, still == 1 ? "" : "s");
    }
    if (most < 1) {
        return Fail("--most: at least 1", kBadInput);
    }
    CanRecording recording;
    if (!LoadMarked(log, filter, marksFile, marks, recording, code)) {
        return code;
    }
    SignalSearch::Options options;
    options.afterUs = WindowUs(windowSeconds, options.afterUs);
    options.most = size_t(most);
    std::vector<SignalSearch::Candidate> ranking =
        CanHunt::Search(recording.frames, marks, options);
    if (context.json) {
        QJsonArray array;
        for (const SignalSearch::Candidate& c : ranking) {
            array.append(QJsonObject{{"id", CanIdText(c.id, c.extended)},
                                     {"extended", c.extended},
                                     {"start", c.start},
                                     {"length", c.length},
                                     {"byte_order", c.bigEndian ? "big" : "little"},
                                     {"signed", c.isSigned},
                                     {"score", c.score}});
        }
        PrintJsonArray(array);
        return kDone;
    }
    if (ranking.empty()) {
        Say(context, "no field moved as the marks say");
    }
    for (const SignalSearch::Candidate& c : ranking) {
        std::printf("%s\n", c.Text().c_str());
    }
    return kDone;
}

}  // namespace k57::ctl
