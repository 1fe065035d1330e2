#pragma once

#include <string>
#include <vector>

#include "BusStatistics.h"
#include "CanFilter.h"
#include "CanMarks.h"
#include "CanRecording.h"
#include "PlotData.h"
#include "SignalHunt.h"
#include "SignalSearch.h"

namespace k57 {

// The signal hunt on a capture file, without a unit: its frames read
// (candump, Vector ASC or python-can CSV), the identifier filter applied,
// then summed up per identifier or ranked against the marks.
namespace CanHunt {

// The capture in `path`, only the frames `filter` passes; false with the
// reason when it cannot be opened. Malformed lines are in the recording.
bool ReadCapture(const std::string& path, const CanFilter& filter, CanRecording& recording,
                 std::string& error);
// The marks file in `path`: one time a line in seconds on the log's clock.
bool ReadMarks(const std::string& path, CanMarks& marks,
               std::vector<CanMarks::Problem>& problems, std::string& error);

BusStatistics Statistics(const std::vector<LoggedFrame>& frames);
std::vector<SignalHunt::Candidate> Rank(const std::vector<LoggedFrame>& frames,
                                        const CanMarks& marks,
                                        const SignalHunt::Options& options = {});

// Empty when every mark lies within the frames' time; otherwise what to
// say: the log's range and the marks outside it. A mark outside matches
// nothing, and an empty ranking would look like a hunt that found nothing.
std::string MarksOutside(const std::vector<LoggedFrame>& frames, const CanMarks& marks);

// The fields whose value moved as the marks say (SignalSearch).
std::vector<SignalSearch::Candidate> Search(const std::vector<LoggedFrame>& frames,
                                            const CanMarks& marks,
                                            const SignalSearch::Options& options = {});
// A candidate's value at each frame of its identifier, as the one channel
// of `plot`, times in seconds from the first frame; the marks with it.
void PlotCandidate(const std::vector<LoggedFrame>& frames, const CanMarks& marks,
                   const SignalSearch::Candidate& candidate, PlotData& plot);

}  // namespace CanHunt

}  // namespace k57
