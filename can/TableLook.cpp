#include "TableLook.h"

#include <cstdio>

namespace k57 {

namespace {

// Whole numbers from `whole` on, one decimal below: the row has room for
// about ten characters.
std::string Figure(double value, double whole) {
    char text[32];
    std::snprintf(text, sizeof text, value < whole - 0.05 ? "%.1f" : "%.0f", value);
    return text;
}

}  // namespace

bool TableLook::operator==(const TableLook& other) const {
    return heat == other.heat && rate == other.rate && holdUs == other.holdUs &&
           silence == other.silence && quietUs == other.quietUs;
}

bool TableLook::Marked(const CanRecord& record, const BusStatistics::Identifier* ident, int byte,
                       int bitFromTop, int64_t nowUs) const {
    const uint8_t bit = uint8_t(0x80 >> bitFromTop);
    if (!(record.mask[byte] & bit)) {
        return false;  // retired by a filter: not watched, never marked
    }
    if (holdUs <= 0 || !ident) {
        return record.changed[byte] & bit;
    }
    return ident->Held(BusStatistics::BitIndex(byte, bitFromTop), nowUs, holdUs);
}

bool TableLook::Silent(const BusStatistics::Identifier* ident, int64_t nowUs) const {
    return silence != Silence::Shown && ident && ident->Silent(nowUs, quietUs);
}

int TableLook::Heat(const BusStatistics::Identifier* ident, int byte, int bitFromTop) const {
    if (!heat || !ident) {
        return 0;
    }
    return BusStatistics::HeatLevel(ident->flips[BusStatistics::BitIndex(byte, bitFromTop)],
                                    ident->frames, kHeatLevels);
}

std::string RateText(const BusStatistics::Identifier& ident, bool period) {
    const double rate = ident.RecentRate();
    if (rate <= 0) {
        return {};
    }
    // The period says what the rounded rate leaves out.
    std::string text = Figure(rate, 1) + "/s";
    if (period) {
        text += " " + Figure(ident.RecentPeriodMs(), 10) + "ms";
    }
    return text;
}

}  // namespace k57
