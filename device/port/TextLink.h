#pragma once

#include <cstdint>
#include <string>

#include "Streams.h"

namespace k57 {

// The raw byte traffic of the unit's port outside the framed protocol: the
// monitors' text lines and CAN commands, and the reply reader's input.
class TextLink {
  public:
    virtual ~TextLink() = default;
    virtual bool Open() = 0;
    // Why the last Open failed (UTF-8).
    virtual std::string OpenError() const = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Waits up to `ms` for received bytes without taking any; false at once
    // when none can come (closed, or the device has hung up).
    virtual bool WaitForInput(uint32_t ms) = 0;
    virtual orvan::io::InputStream& input() = 0;
    virtual orvan::io::OutputStream& output() = 0;
};

}  // namespace k57
