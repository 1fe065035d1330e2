#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "CanLink.h"
#include "CanRecord.h"
#include "StampClock.h"

namespace k57 {

// A frame with its time: its sender's millisecond stamp, unwrapped and
// anchored to the computer's clock; a frame without one, its arrival.
struct TimedFrame {
    CanRecord record;
    int64_t us = 0;  // microseconds since the epoch, or the recording's clock
};

// The channel's frame lines read and timed, for one opening of the
// channel. Used by one thread at a time.
class CanFrameReader {
  public:
    explicit CanFrameReader(ByteChannel& link) : can_(link) {}

    CanLink& link() { return can_; }
    // Appends the frames of the lines waiting, at most `most`, to `frames`,
    // waiting up to `waitMs` for the first line; what is not a frame line
    // is passed over. Returns how many it appended.
    size_t Read(int waitMs, size_t most, std::vector<TimedFrame>& frames);

  private:
    CanLink can_;
    StampClock clock_;
    std::string line_;               // the line being read, its storage kept
    std::vector<int64_t> unwrapped_;  // the stamps of one read
};

}  // namespace k57
