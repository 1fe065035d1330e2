#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "ByteChannel.h"
#include "Clock.h"

namespace k57 {

// Reads and lets go whatever the line brings until it has been quiet for
// `quietMs` of `clock`, for `mostMs` at most in all, until `abandoned` is
// set, or until the port can deliver nothing more. With `quietMs` 0 it
// takes only what is waiting now. What it lets go shows in the trace as
// skipped, with `why`. Returns the bytes let go.
size_t DrainLine(ByteChannel& channel, Clock& clock, uint32_t quietMs, uint32_t mostMs,
                 const std::atomic<bool>& abandoned, const char* why);

}  // namespace k57
