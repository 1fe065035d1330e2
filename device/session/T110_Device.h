#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "AbstractMessage.h"
#include "Clock.h"
#include "DeviceInterface.h"
#include "PortChannel.h"
#include "ReplyReader.h"
#include "VCOM_Port.h"

// The session over one serial port, speaking the framed protocol. Its port
// name comes from the stored port at construction.
class T110_Device : public DeviceInterface {
  public:
    static constexpr uint32_t kReplyTimeout = 4000;
    static constexpr uint32_t kBeginFirmwareTimeout = 10000;
    static constexpr uint32_t kBeginWaveTimeout = 20000;
    static constexpr uint16_t kMaxReplyPayload = k57::ReplyReader::kMaxPayload;
    // Before a request on a line that may still carry something (the
    // session is new, the last exchange was cut off, a monitor had the
    // port), the session lets go of what comes until the line has been
    // quiet this long, for at most kSettleMostMs, so that a flood cannot
    // hold it: a dribbling unit pauses for less between its pieces.
    static constexpr uint32_t kQuietMs = 300;
    static constexpr uint32_t kSettleMostMs = 2000;

    // Time-outs are measured on `clock`.
    explicit T110_Device(k57::Clock& clock = k57::SystemClock());
    ~T110_Device() override;

    void SetPortName(const char* name) override;
    int ReadSettings(std::string& text) override;
    int WriteSettings(const std::string& text) override;
    int EnterDiagnosticMode() override;
    void ClosePort() override;
    int ReadIdInfo(uint32_t& serial) override;
    int SetId(uint32_t serial) override;
    int ReadVersion(std::string& text) override;
    int BeginFirmwareUpdate() override;
    int BeginWaveUpdate() override;
    int SendDataFragment(const void* data, uint32_t offset, uint16_t length) override;
    int CommitUpdate(uint32_t checksum, uint32_t size) override;
    int Restart() override;
    void ParseVersion(VersionInfo& info, const std::string& text) override;
    int FindDevice(k57::WindowHandle owner) override;
    k57::ByteChannel& Channel() override { return channel_; }
    std::string PortName() const override;
    void SetAbandoned(bool abandoned) override { abandoned_ = abandoned; }
    k57::RequestFailure LastFailure() const override;

    // Waits for one reply frame of the `expected` code; see the result codes.
    int WaitReply(int16_t expected, std::unique_ptr<orvan::tms::messages::AbstractMessage>& reply);

    VCOM_Port& port() { return port_; }

    // Time allowed for one reply; 4000 ms at rest.
    uint32_t replyTimeout() const { return replyTimeout_; }
    void setReplyTimeout(uint32_t ms) { replyTimeout_ = ms; }

  private:
    using Message = orvan::tms::messages::AbstractMessage;

    int Exchange(Message& request, int16_t expected, std::unique_ptr<Message>& reply);
    int BeginUpdate(Message& request, uint32_t timeout);
    // Opens the port, or records why not.
    bool OpenPort();
    int Failed(k57::RequestFailure failure);
    bool Send(Message& request);
    // Lets go of what waits on the line, and when it may still be coming,
    // of what comes until it is quiet.
    void Settle();

    // The port as the monitors have it: once they opened it, the unit's
    // last text lines may still come after they let it go.
    class TextChannel : public k57::PortChannel {
      public:
        TextChannel(VCOM_Port& port, std::atomic<bool>& unsettled)
            : PortChannel(port), unsettled_(unsettled) {}
        bool Open() override {
            unsettled_ = true;
            return PortChannel::Open();
        }

      private:
        std::atomic<bool>& unsettled_;
    };

    VCOM_Port port_;
    std::atomic<bool> unsettled_{true};  // nothing is known of the line yet
    TextChannel channel_{port_, unsettled_};
    VCOMOutputStream output_{&port_};  // frames are written through it
    k57::Clock& clock_;
    std::atomic<bool> abandoned_{false};
    k57::ReplyReader reader_;
    uint32_t replyTimeout_ = kReplyTimeout;

    // Read by other threads while a request runs.
    mutable std::mutex shared_;
    std::string portName_;
    k57::RequestFailure failure_;
};
