#pragma once

#include <cstdint>
#include <string>

#include "Notifier.h"
#include "TextLink.h"
#include "VersionInfo.h"

namespace k57 {

// The results of a request operation.
constexpr int kReplyOk = 1;           // the expected reply arrived
constexpr int kPortUnavailable = -1;  // the port cannot be opened
constexpr int kNoReply = -2;          // no complete reply within the reply time-out
constexpr int kBadReply = -3;         // a reply that cannot be decoded, or of another type

}  // namespace k57

// The device session: every window reaches the unit through it. Request
// operations are one complete exchange each and return one of the results
// above. Out-parameters are written only on success. Nothing here throws.
class DeviceInterface {
  public:
    virtual ~DeviceInterface() = default;

    virtual void SetPortName(const char* name) = 0;
    virtual int ReadSettings(std::string& text) = 0;
    virtual int WriteSettings(const std::string& text) = 0;
    // 0 when the request went out (the port stays open), -1.
    virtual int EnterDiagnosticMode() = 0;
    virtual void ClosePort() = 0;
    virtual int ReadIdInfo(uint32_t& serial) = 0;
    virtual int SetId(uint32_t serial) = 0;
    virtual int ReadVersion(std::string& text) = 0;
    virtual int BeginFirmwareUpdate() = 0;
    virtual int BeginWaveUpdate() = 0;
    virtual int SendDataFragment(const void* data, uint32_t offset, uint16_t length) = 0;
    // Note the order: checksum first, while the message carries the size first.
    virtual int CommitUpdate(uint32_t checksum, uint32_t size) = 0;
    // 1 when the request went out, -1.
    virtual int Restart() = 0;
    virtual void ParseVersion(VersionInfo& info, const std::string& text) = 0;
    // Scans the COM ports for a unit; 1 when one was found (and stored), 0.
    virtual int FindDevice(k57::WindowHandle owner) = 0;
    // The port's raw text traffic, for the monitors.
    virtual k57::TextLink& Link() = 0;
};
