#pragma once

#include <chrono>

namespace k57::test {

// Milliseconds since a moment a test took from the steady clock. The clock
// is named in full: k57::Clock is the sessions' clock.
inline int ElapsedMs(std::chrono::steady_clock::time_point since) {
    return int(std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - since)
                   .count());
}

}  // namespace k57::test
