#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "UnitOptions.h"

namespace k57::sim {

// The frames the simulated unit reports while its CAN channel is open, as
// frame lines: standard data frames as the unit's own fixed line ("t", id,
// length code, 8 data bytes, 4-digit stamp, CR); extended and remote frames
// as serial CAN adapters send them ("T" + 8-digit id, "r", "R", with only
// the bytes the frame has). Stamps count milliseconds modulo 60000.
class CanTraffic {
  public:
    explicit CanTraffic(const UnitOptions& options);

    // Restarts the traffic's clock at `nowUs`.
    void Start(uint64_t nowUs);
    // The frame lines due by `nowUs`.
    std::string Due(uint64_t nowUs);
    // Toggles a bit of the identifier in every frame from now on.
    void Flip(const UnitOptions::CanBit& bit);
    // When the next frame is due.
    uint64_t NextDueUs() const { return nextUs_; }
    // Frames of the log that a unit cannot report (error and FD frames,
    // classic frames over 8 bytes, 3-digit identifiers above 0x7FF): left
    // out, and counted. Lines that are no frame at all are passed over.
    int skipped() const { return skipped_; }

  private:
    struct Frame {
        uint64_t atUs;  // from the start of the log
        uint32_t id;
        bool extended;
        bool remote;
        uint8_t dlc;
        uint8_t data[8];
    };

    std::vector<Frame> ReadLog(const std::string& path);
    Frame Synthetic();
    std::string Line(Frame frame, uint64_t nowUs) const;

    std::vector<Frame> log_;
    uint64_t logLengthUs_ = 0;
    uint64_t periodUs_;
    int identifiers_;
    uint64_t startUs_ = 0;
    uint64_t nextUs_ = 0;
    uint64_t sent_ = 0;
    uint32_t random_ = 12345;
    std::vector<std::array<uint8_t, 8>> state_;
    int skipped_ = 0;
    // The bits flipped, by identifier (bit 32: extended).
    std::map<uint64_t, std::array<uint8_t, 8>> flipped_;
};

}  // namespace k57::sim
