#include "CanHunt.h"

#include <algorithm>
#include <sstream>

#include "FileRead.h"

namespace k57::CanHunt {

bool ReadCapture(const std::string& path, const CanFilter& filter, CanRecording& recording,
                 std::string& error) {
    if (!ReadCanLogFile(path, recording, error)) {
        return false;
    }
    if (!filter.empty()) {
        auto& frames = recording.frames;
        frames.erase(std::remove_if(frames.begin(), frames.end(),
                                    [&](const LoggedFrame& f) {
                                        return !filter.Passes(f.id, f.extended);
                                    }),
                     frames.end());
    }
    return true;
}

bool ReadMarks(const std::string& path, CanMarks& marks,
               std::vector<CanMarks::Problem>& problems, std::string& error) {
    std::string text;
    if (!ReadWholeFile(path, FileLimits::kMarksFile, text, error)) {
        return false;
    }
    std::istringstream in(text);
    marks = CanMarks::Read(in, problems);
    return true;
}

BusStatistics Statistics(const std::vector<LoggedFrame>& frames) {
    BusStatistics statistics;
    for (const LoggedFrame& frame : frames) {
        statistics.Add(frame);
    }
    return statistics;
}

std::vector<SignalHunt::Candidate> Rank(const std::vector<LoggedFrame>& frames,
                                        const CanMarks& marks,
                                        const SignalHunt::Options& options) {
    SignalHunt hunt(marks.Times(), options);
    for (const LoggedFrame& frame : frames) {
        hunt.Add(frame);
    }
    return hunt.Ranking();
}

std::string MarksOutside(const std::vector<LoggedFrame>& frames, const CanMarks& marks) {
    if (frames.empty()) {
        return marks.size() == 0 ? std::string() : "the log holds no frames for the marks";
    }
    // Recordings are in time order, save where a sender's clock stepped
    // back: the range is looked for, not assumed.
    auto [first, last] = std::minmax_element(
        frames.begin(), frames.end(),
        [](const LoggedFrame& a, const LoggedFrame& b) { return a.us < b.us; });
    std::string outside;
    size_t count = 0;
    for (const CanMark& mark : marks.marks()) {
        if (mark.us < first->us || mark.us > last->us) {
            if (++count <= 10) {  // enough to see which clock they are on
                outside += (outside.empty() ? "" : ", ") + CanMarks::SecondsText(mark.us);
            }
        }
    }
    if (count == 0) {
        return {};
    }
    if (count > 10) {
        outside += ", ... (" + std::to_string(count) + " in all)";
    }
    return "marks outside the log's time range " + CanMarks::SecondsText(first->us) + " to " +
           CanMarks::SecondsText(last->us) + ": " + outside;
}

std::vector<SignalSearch::Candidate> Search(const std::vector<LoggedFrame>& frames,
                                            const CanMarks& marks,
                                            const SignalSearch::Options& options) {
    return SignalSearch::Rank(frames, marks.marks(), options);
}

void PlotCandidate(const std::vector<LoggedFrame>& frames, const CanMarks& marks,
                   const SignalSearch::Candidate& candidate, PlotData& plot) {
    plot.Clear();
    while (!plot.channels().empty()) {
        plot.RemoveChannel(0);
    }
    if (frames.empty()) {
        return;
    }
    size_t count = size_t(std::count_if(frames.begin(), frames.end(), [&](const LoggedFrame& f) {
        return f.Key() == candidate.Key() && !f.remote;
    }));
    int channel = plot.AddChannel(candidate.Text().substr(0, candidate.Text().find("  ")), "",
                                  std::max<size_t>(count, 1));
    const double zero = double(frames.front().us);
    for (const LoggedFrame& f : frames) {
        if (f.Key() == candidate.Key() && !f.remote) {
            plot.Add(channel, (double(f.us) - zero) / 1e6, double(candidate.Value(f.data)));
        }
    }
    for (const CanMark& mark : marks.marks()) {
        plot.AddMark((double(mark.us) - zero) / 1e6, mark.label);
    }
}

}  // namespace k57::CanHunt
