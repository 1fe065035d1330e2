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

}  // namespace k57::CanHunt
