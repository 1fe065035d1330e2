// can stats and can hunt: a capture file summed up per identifier, or its
// bits ranked against the technician's marks. No unit needed.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstdio>

#include "CanHunt.h"
#include "Commands.h"
#include "ExitCodes.h"

namespace k57::ctl {

namespace {

QString Hex(uint32_t id, bool extended) {
    return QString::asprintf(extended ? "%08X" : "%03X", unsigned(id));
}

void PrintArray(const QJsonArray& array) {
    QByteArray text = QJsonDocument(array).toJson(QJsonDocument::Indented);
    std::fwrite(text.data(), 1, size_t(text.size()), stdout);
}

// The capture's frames the filter passes; its malformed lines on stderr.
bool Load(const std::string& log, const std::string& filterText, CanRecording& recording,
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

}  // namespace

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
    if (!Load(log, filter, recording, code)) {
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
            array.append(QJsonObject{{"id", Hex(row.id, row.extended)},
                                     {"extended", row.extended},
                                     {"count", qint64(row.frames)},
                                     {"rate", row.Rate()},
                                     {"period_ms", row.PeriodMs()},
                                     {"period_median_ms", medianMs},
                                     {"changing", changing}});
        } else {
            std::printf("%-8s %10llu %10.1f %10.1f %10.1f %s\n",
                        Hex(row.id, row.extended).toLatin1().constData(),
                        static_cast<unsigned long long>(row.frames), row.Rate(), row.PeriodMs(),
                        medianMs, bits.c_str());
        }
    }
    if (context.json) {
        PrintArray(array);
    }
    return kDone;
}

int CanHuntFile(const Context& context, const std::string& log, const std::string& marksFile,
                const std::string& filter, double windowSeconds) {
    CanMarks marks;
    std::vector<CanMarks::Problem> problems;
    std::string error;
    if (!CanHunt::ReadMarks(marksFile, marks, problems, error)) {
        return ReadFailed(marksFile, error);
    }
    for (const CanMarks::Problem& problem : problems) {
        std::fprintf(stderr, "%s:%d: %s\n", marksFile.c_str(), problem.line,
                     problem.message.c_str());
    }
    if (marks.size() < 2) {
        return Fail(marksFile + ": the hunt needs two marks or more", kBadInput);
    }
    CanRecording recording;
    int code = kDone;
    if (!Load(log, filter, recording, code)) {
        return code;
    }
    SignalHunt::Options options;
    if (windowSeconds > 0) {
        options.afterUs = int64_t(windowSeconds * 1e6);
    }
    std::vector<SignalHunt::Candidate> ranking = CanHunt::Rank(recording.frames, marks, options);
    if (context.json) {
        // Bits only: a consumer may rely on every entry naming one.
        QJsonArray array;
        for (const SignalHunt::Candidate& c : ranking) {
            if (c.bit >= 0) {
                array.append(QJsonObject{{"id", Hex(c.id, c.extended)},
                                         {"extended", c.extended},
                                         {"byte", c.byte},
                                         {"bit", c.bit},
                                         {"score", c.score},
                                         {"marks", c.marksHit},
                                         {"changes", qint64(c.changes)},
                                         {"before", c.before},
                                         {"after", c.after}});
            }
        }
        PrintArray(array);
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

}  // namespace k57::ctl
