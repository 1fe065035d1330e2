#pragma once

#include <cstdint>
#include <vector>

#include "UnitCore.h"
#include "UnitOptions.h"

namespace k57::sim {

// Bytes to write once the clock reaches `atUs`.
struct Piece {
    uint64_t atUs;
    Bytes bytes;
};

// Turns the unit's replies into what a faulty or slow unit sends: nothing
// (silent, hung up, a refused commit), a reply of another type, one that
// cannot be decoded, one too long, or a reply in timed pieces (dribbled, or
// paced to a line speed).
class FaultStage {
  public:
    // Input of `n` bytes arrived at `nowUs`; on a paced line it has
    // finished arriving only after its wire time, and no reply starts
    // before that.
    void NoteInput(size_t n, uint64_t nowUs, const UnitOptions& options);
    // The pieces a framed reply goes out in; none when it is swallowed.
    std::vector<Piece> Plan(const Outgoing& reply, uint64_t nowUs, const UnitOptions& options);

  private:
    Bytes Transform(const Outgoing& reply, const UnitOptions& options);
    uint64_t WireTimeUs(size_t bytes, const UnitOptions& options) const;

    uint64_t inWireFreeUs_ = 0;
    uint64_t outWireFreeUs_ = 0;
    int fragmentsAcked_ = 0;
    bool hungUp_ = false;
};

}  // namespace k57::sim
