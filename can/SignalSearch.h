#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "CanFrameLog.h"
#include "CanMarks.h"

namespace k57 {

// Which signal carries a value the technician watched move: each mark says
// whether the value went up, down or stayed at that moment, and every field
// a frame could hold (identifier x start bit x length 1-32 x byte order x
// signedness) is scored by how many of those moves it repeats. The value
// just before a mark (the identifier's last frame before the mark's lead)
// is compared with the value at the end of its window (the last frame up
// to `afterUs` after the mark), the same window the hunt uses.
//
// Only the frames at the marks are read per candidate, so a long capture
// costs its one pass to index the frames, not one pass per candidate.
//
// Ties, all at the same score, are settled so that the field the moving
// bits form comes first: the one that held its value more often between
// one mark's window and the next mark (noise repeats a few moves by
// chance, but does not hold still), then fewer bits that never change in
// the whole capture,
// then more bits (a field that covers all the moving bits beats the part of
// it that keeps the direction), then unsigned before signed, little-endian
// before big-endian, then by identifier and start bit. A field within one
// byte reads the same in both byte orders: it is a little-endian candidate
// only. A field that never changes in the capture is no candidate.
class SignalSearch {
  public:
    struct Options {
        int64_t leadUs = 200'000;     // the value "before" is taken this much before a mark
        int64_t afterUs = 1'000'000;  // the value "after" up to this much after it
        size_t most = 50;             // candidates kept
    };
    // More marks with a move than this are not searched.
    static constexpr size_t kMaxMarks = 10'000;

    struct Candidate {
        uint32_t id = 0;
        bool extended = false;
        int start = 0;  // as a DBC file writes it: the sawtooth MSB for big-endian
        int length = 1;
        bool bigEndian = false;
        bool isSigned = false;
        double score = 0;  // the share of the marks whose move it repeats
        int matched = 0;
        int marks = 0;
        int still = 0;  // its bits that never change in the capture
        int held = 0;   // marks before which it still had the value it had after the last

        uint64_t Key() const { return (uint64_t(extended) << 32) | id; }
        // The field's value in a frame's data.
        int64_t Value(const uint8_t data[8]) const;
        // "3B4 start 23 length 12 big unsigned  score 0.97  5/5 marks  held 4"
        std::string Text() const;
    };

    // `frames` in time order; only the marks with a move count.
    static std::vector<Candidate> Rank(const std::vector<LoggedFrame>& frames,
                                       const std::vector<CanMark>& marks, const Options& options);
    // How many of `marks` say a move.
    static size_t MarksWithMove(const std::vector<CanMark>& marks);
};

}  // namespace k57
