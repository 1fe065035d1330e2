#pragma once

#include <cstdint>

namespace k57 {

// Milliseconds from a monotonic clock; wraps like a tick count, so callers
// compare unsigned differences.
uint32_t TickMs();

}  // namespace k57
