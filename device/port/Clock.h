#pragma once

#include <cstdint>

namespace k57 {

// Milliseconds from a monotonic clock; wraps like a tick count, so callers
// compare unsigned differences.
uint32_t TickMs();

// The session's time, replaceable so that tests of long time-outs need not
// wait them out in real time.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual uint32_t NowMs() = 0;
    // How long to wait in real time for `ms` of this clock to pass.
    virtual uint32_t RealMs(uint32_t ms) { return ms; }
};

// The real clock: the monotonic tick count.
Clock& SystemClock();

}  // namespace k57
