#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "UnitOptions.h"

namespace k57::sim {

class Unit;

// A row of units programmed one after another on one port: once the tool
// has written a unit's settings and left it alone, that unit is pulled out,
// and after a while the next one (the next serial number, no settings, the
// options otherwise the same) is plugged in its place. The last one stays.
class NextUnits {
  public:
    // How long the tool must have left the unit alone after a settings
    // write before it goes: time for the read-back that checks the write.
    static constexpr int kIdleMs = 300;

    NextUnits(UnitOptions options, std::vector<uint32_t> serials, int awayMs);

    // Looks at the unit and pulls it out or plugs the next one in when
    // that is due; says what it did, as a line, or nothing.
    std::string Step(Unit& unit, uint64_t nowMs);
    bool away() const { return awayUntilMs_ != 0; }

  private:
    UnitOptions options_;
    std::vector<uint32_t> serials_;
    int awayMs_;
    size_t next_ = 0;
    uint64_t awayUntilMs_ = 0;  // while the unit is out
};

}  // namespace k57::sim
