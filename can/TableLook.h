#pragma once

#include <cstdint>
#include <string>

#include "BusStatistics.h"
#include "CanRecord.h"

namespace k57 {

// How the CAN monitor's table shows what the statistics know: bits tinted
// by how often they flip, each row's rate and period, changes held for a
// while, identifiers gone quiet greyed or hidden. Everything is off unless
// chosen, and the table then shows the records alone.
struct TableLook {
    enum class Silence { Shown, Grey, Hidden };
    static constexpr int kHeatLevels = 8;  // 0: never flipped; 7: every frame

    bool heat = false;
    bool rate = false;
    int64_t holdUs = 0;  // 0: a change is marked until its identifier's next frame
    Silence silence = Silence::Shown;
    int64_t quietUs = 5'000'000;  // no frame this long: the identifier is silent

    bool operator==(const TableLook& other) const;
    bool operator!=(const TableLook& other) const { return !(*this == other); }

    // Whether the bit `bitFromTop` (0: 0x80) of `byte` is drawn as changed
    // at `nowUs`: a watched bit that changed in the latest frame or, with a
    // hold, within the hold. `ident` is the record's statistics, if any.
    bool Marked(const CanRecord& record, const BusStatistics::Identifier* ident, int byte,
                int bitFromTop, int64_t nowUs) const;
    // The identifier had no frame for quietUs; never without statistics.
    bool Silent(const BusStatistics::Identifier* ident, int64_t nowUs) const;
    // The bit's heat, 0 to kHeatLevels - 1; 0 with heat off.
    int Heat(const BusStatistics::Identifier* ident, int byte, int bitFromTop) const;
};

// A row's rate and period, short enough for the room at its end:
// "100/s 10ms", "3/s 400ms", "0.5/s 2000ms", "1000/s 1.0ms"; only the rate
// ("100/s") without `period`; empty before an identifier's second frame.
std::string RateText(const BusStatistics::Identifier& ident, bool period);

}  // namespace k57
