#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "CanFrameLog.h"

namespace k57 {

// Which bit carries the door: the technician marks each time they open it,
// and the bits (and the bytes that step) whose changes fall just after the
// marks and seldom elsewhere rank first. A candidate's score is the share
// of marks followed by one of its changes times the share of its changes
// that followed a mark: 1 for a bit that changed after every mark and at
// no other time.
class SignalHunt {
  public:
    struct Options {
        int64_t leadUs = 200'000;    // a change this much before a mark still counts
        int64_t afterUs = 1'000'000;  // and up to this much after it
        size_t most = 50;             // candidates kept
    };
    struct Candidate {
        uint32_t id = 0;
        bool extended = false;
        int byte = 0;   // 0-7
        int bit = -1;   // 0-7, 7 the most significant; -1: the whole byte steps
        double score = 0;
        int marksHit = 0;
        uint32_t changes = 0;   // all changes
        uint32_t inWindow = 0;  // changes close after a mark
        uint8_t before = 0;     // the value before and after its first change
        uint8_t after = 0;      // after a mark (a bit's: 0 or 1)
        bool toggles = false;   // one way after one mark, the other way after another

        uint64_t Key() const { return (uint64_t(extended) << 32) | id; }
        // "1A0 byte 2 bit 5  0 -> 1  score 0.95  5/5 marks  6 changes" ("0↔1"
        // for a bit that toggles); a byte "1A0 byte 2  3A -> 3B ..."; `marks`
        // is how many were set.
        std::string Text(size_t marks) const;
    };

    SignalHunt(std::vector<int64_t> marksUs, Options options);
    SignalHunt(std::vector<int64_t> marksUs) : SignalHunt(std::move(marksUs), Options{}) {}

    // The frames in time order.
    void Add(const LoggedFrame& frame);
    // Best first; empty with fewer than one mark.
    std::vector<Candidate> Ranking() const;

  private:
    // One bit's or one byte's account.
    struct Tally {
        uint32_t changes = 0;
        uint32_t inWindow = 0;
        int32_t marksHit = 0;
        int32_t lastMark = -1;
        uint8_t before = 0;
        uint8_t after = 0;
        bool toggles = false;  // a later mark's first change went another way
        bool wide = false;  // a byte's: one of its changes moved more than one bit
    };
    struct Identifier {
        uint32_t id;
        bool extended;
        uint8_t data[8];
        Tally bits[64];   // 8 * byte + bit
        Tally bytes[8];
    };
    // The mark whose window holds `us`, or -1.
    int WindowOf(int64_t us) const;
    static void Count(Tally& tally, int mark, uint8_t before, uint8_t after);
    Candidate Score(const Identifier& ident, const Tally& tally, int byte, int bit) const;

    std::vector<int64_t> marks_;
    Options options_;
    std::vector<Identifier> identifiers_;
    std::unordered_map<uint64_t, size_t> index_;
};

}  // namespace k57
