#pragma once

#include <chrono>

namespace k57::test {

using Clock = std::chrono::steady_clock;

// Milliseconds since a moment a test took from Clock.
inline int ElapsedMs(Clock::time_point since) {
    return int(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

}  // namespace k57::test
