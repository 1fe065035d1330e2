#pragma once

#include <cstdint>
#include <string>

#include "OpenProblem.h"

// The operating-system side of the serial port. One implementation file per
// platform provides these functions; the port logic above them is portable.
namespace k57::serial {

// An open device; the backend owns its contents.
struct Device;

struct LineSettings {
    uint32_t baudRate = 0;
    uint8_t dataBits = 0;
    uint8_t parity = 0;    // 0 none
    uint8_t stopBits = 0;  // 0 one stop bit
    bool raiseRts = false;
};

struct Timeouts {
    uint32_t readInterval = 0;
    uint32_t readMultiplier = 0;
    uint32_t readConstant = 0;
    uint32_t writeMultiplier = 0;
    uint32_t writeConstant = 0;
};

// Opens a port by name ("COMn", "\\.\COMn" or a device path),
// exclusively, for reading and writing, with empty queues; null when it is
// missing, in use or otherwise not openable, with the system's reason in
// `reason` (UTF-8) and, when asked for, its kind and code in `problem`.
Device* OpenExclusive(const std::string& name, std::string& reason,
                      OpenProblem* problem = nullptr);
void Close(Device* device);

// Reads the line settings the driver has now.
bool ReadLineSettings(Device* device, LineSettings& settings);
// Applies the given speed and framing; every other driver setting is kept,
// except that the line is made transparent to binary data.
bool ApplyLineSettings(Device* device, const LineSettings& settings);
bool ApplyTimeouts(Device* device, const Timeouts& timeouts);

// Waits up to `ms` for received bytes to be waiting; false at once when
// none can come any more (the device has hung up).
bool WaitForInput(Device* device, uint32_t ms);

uint32_t BytesToRead(Device* device);
uint32_t BytesToWrite(Device* device);

// Synchronous transfers, bounded by the time-outs: they return once all
// `length` bytes have moved or the time-out has run out, with the count moved.
int Read(Device* device, void* buffer, int length);
int Write(Device* device, const void* buffer, int length);

}  // namespace k57::serial
