#pragma once

#include <cstdint>
#include <string>

#include "OpenProblem.h"

namespace k57 {

// The unit's port as a channel of bytes: the reply reader's input, and the
// monitors' text lines and CAN commands outside the framed protocol.
class ByteChannel {
  public:
    virtual ~ByteChannel() = default;
    virtual bool Open() = 0;
    // Why the last Open failed (UTF-8), and what kind of failure it was.
    virtual std::string OpenError() const = 0;
    virtual OpenProblem LastOpenProblem() const { return {}; }
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Waits up to `ms` for received bytes without taking any; false at once
    // when none can come (closed, or the device has hung up).
    virtual bool WaitForInput(uint32_t ms) = 0;
    // Bytes that can be read now without waiting.
    virtual int Available() = 0;
    // Reads `n` bytes that are waiting: `n`, -1 when not open, -2 when fewer came.
    virtual int Read(void* buffer, int n) = 0;
    // Writes `n` bytes: `n`, -1 when not open, -2 when fewer were taken.
    virtual int Write(const void* buffer, int n) = 0;
};

}  // namespace k57
