#pragma once

#include <cstdint>
#include <string>

#include "Notifier.h"
#include "OpenProblem.h"
#include "ResultCodes.h"
#include "ByteChannel.h"
#include "VersionInfo.h"

namespace k57 {

// The longest settings text the unit can take: it must fit the unit's own
// settings reply (1016 payload bytes, the text and its NUL), or it could
// never be read back.
constexpr size_t kMaxSettingsText = 1015;

// What the last failed request met, for the user: the port, the time-out
// it waited, the system's reason (UTF-8, English) and its kind and code for
// a port that did not open, the length of a settings text too long to
// send, and for a reply that was no good its type word, its length and
// whether it could be decoded at all.
struct RequestFailure {
    int result = kReplyOk;
    std::string port;
    uint32_t timeoutMs = 0;
    std::string reason;
    OpenProblem openProblem;
    size_t textLength = 0;
    bool abandoned = false;
    int expectedType = 0;
    int replyType = 0;
    int replyLength = 0;
    bool decoded = false;
};

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
    virtual k57::ByteChannel& Channel() = 0;

    // These three may be called from another thread while a request runs.
    // The port the session uses now, as "COMn" or a path.
    virtual std::string PortName() const = 0;
    // While set, a request in progress ends at its next look at the port,
    // with -2, and no further request waits for a reply.
    virtual void SetAbandoned(bool abandoned) = 0;
    virtual k57::RequestFailure LastFailure() const = 0;
};
