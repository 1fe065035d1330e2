#include "NextUnits.h"

#include "Unit.h"

namespace k57::sim {

NextUnits::NextUnits(UnitOptions options, std::vector<uint32_t> serials, int awayMs)
    : options_(std::move(options)), serials_(std::move(serials)), awayMs_(awayMs) {
    // Every next unit comes empty; the settings file was the first one's.
    options_.settings.clear();
    options_.settingsFile.clear();
}

std::string NextUnits::Step(Unit& unit, uint64_t nowMs) {
    if (awayUntilMs_ == 0) {
        if (next_ >= serials_.size() || unit.settingsWrites() == 0 || !unit.idleFor(kIdleMs)) {
            return {};
        }
        unit.Unplug();
        awayUntilMs_ = nowMs + uint64_t(awayMs_);
        return "unplugged";
    }
    if (nowMs < awayUntilMs_) {
        return {};
    }
    awayUntilMs_ = 0;
    options_.serial = serials_[next_++];
    if (!unit.Plug(options_)) {
        return "cannot plug in " + std::to_string(options_.serial) + ": no pseudo-terminal";
    }
    return "plugged in " + std::to_string(options_.serial) + ": " + unit.devicePath();
}

}  // namespace k57::sim
