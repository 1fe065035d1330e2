#include "T110_Device.h"

#include "FrameTrace.h"
#include "LineDrain.h"
#include "Messages.h"
#include "StoredPort.h"

using namespace orvan::tms::messages;
namespace frametrace = k57::frametrace;

T110_Device::T110_Device(k57::Clock& clock)
    : port_(k57::StoredPort::Read().c_str()), clock_(clock), reader_(channel_, clock, abandoned_) {
    portName_ = port_.Name();
}

T110_Device::~T110_Device() {
    port_.Close();
}

void T110_Device::SetPortName(const char* name) {
    port_.SetName(name);
    std::lock_guard<std::mutex> lock(shared_);
    if (port_.Name() != portName_) {
        unsettled_ = true;  // another line, with its own past
    }
    portName_ = port_.Name();
}

std::string T110_Device::PortName() const {
    std::lock_guard<std::mutex> lock(shared_);
    return portName_;
}

k57::RequestFailure T110_Device::LastFailure() const {
    std::lock_guard<std::mutex> lock(shared_);
    return failure_;
}

int T110_Device::Failed(k57::RequestFailure failure) {
    std::lock_guard<std::mutex> lock(shared_);
    failure.port = portName_;
    failure.timeoutMs = replyTimeout_;
    failure_ = failure;
    return failure.result;
}

bool T110_Device::OpenPort() {
    // A port held open from before (the diagnostic mode) whose unit has been
    // pulled out since is let go: the name may lead to another unit by now.
    if (port_.IsOpen() && !port_.WaitForInput(0)) {
        port_.Close();
        unsettled_ = true;
    }
    if (port_.Open()) {
        return true;
    }
    k57::RequestFailure failure;
    failure.result = k57::kPortUnavailable;
    failure.reason = port_.OpenError();
    failure.openProblem = port_.LastOpenProblem();
    frametrace::Note(port_.Name() + " cannot be opened: " + failure.reason, failure.result);
    Failed(failure);
    return false;
}

void T110_Device::ClosePort() {
    port_.Close();
}

void T110_Device::ParseVersion(VersionInfo& info, const std::string& text) {
    k57::SplitVersionText(info, text);
}

// A port whose output never drains gives up after the reply time-out.
bool T110_Device::Send(Message& request) {
    if (!k57::WriteWithin(request, output_, replyTimeout_, clock_)) {
        frametrace::Note(std::string(frametrace::MessageName(request.getType())) +
                         " not sent: the port took nothing more within " +
                         std::to_string(replyTimeout_) + " ms");
        return false;
    }
    frametrace::Sent(request);
    return true;
}

// What the line brings before a request belongs to an earlier exchange
// (the rest of a reply cut off by its time-out, a reply to a program that
// was stopped, a monitor's last text lines): it must never pass for the
// reply to this one. Opening the port drops only what had arrived.
void T110_Device::Settle() {
    bool unsettled = unsettled_.exchange(false);
    k57::DrainLine(channel_, clock_, unsettled ? kQuietMs : 0, kSettleMostMs, abandoned_,
                   "skipped: on the line before the request");
}

int T110_Device::Exchange(Message& request, int16_t expected, std::unique_ptr<Message>& reply) {
    if (!OpenPort()) {
        return k57::kPortUnavailable;
    }
    Settle();
    k57::RequestFailure failure;
    failure.result = k57::kNoReply;
    failure.expectedType = expected;
    if (!abandoned_ && Send(request)) {
        reader_.Reset();
        failure.result = WaitReply(expected, reply);
        failure.replyType = reader_.received().type;
        failure.replyLength = reader_.received().length;
        failure.decoded = reader_.received().decoded;
    } else if (!abandoned_ && !port_.WaitForInput(0)) {
        // The port went while the request was being written: part of it
        // may have reached the unit.
        failure.result = k57::kLineLost;
        frametrace::Note("the port went away while the request was sent (hung up)",
                         failure.result);
    }
    failure.abandoned = abandoned_;
    unsettled_ = failure.result != k57::kReplyOk || !reader_.clean();
    port_.Close();
    return failure.result == k57::kReplyOk ? failure.result : Failed(failure);
}

int T110_Device::ReadSettings(std::string& text) {
    ReqSettingsMessage request;
    std::unique_ptr<Message> reply;
    int result = Exchange(request, kSettings, reply);
    if (result == k57::kReplyOk) {
        text = static_cast<SettingsMessage&>(*reply).text();
    }
    return result;
}

// A text too long for the unit is refused before anything is sent: the
// frame's 16-bit length would wrap, or the unit could not send it back.
int T110_Device::WriteSettings(const std::string& text) {
    if (std::string(text.c_str()).size() > k57::kMaxSettingsText) {
        k57::RequestFailure failure;
        failure.result = k57::kCannotFrame;
        failure.reason = std::to_string(text.size()) + " bytes";
        failure.textLength = text.size();
        frametrace::Note("settings text of " + failure.reason + " too long to send", failure.result);
        return Failed(failure);
    }
    SettingsMessage request;
    request.setText(text);
    std::unique_ptr<Message> reply;
    return Exchange(request, kSettings, reply);
}

int T110_Device::ReadIdInfo(uint32_t& serial) {
    ReqIdInfoMessage request;
    std::unique_ptr<Message> reply;
    int result = Exchange(request, kIdInfo, reply);
    if (result == k57::kReplyOk) {
        serial = static_cast<IdInfoMessage&>(*reply).getValue();
    }
    return result;
}

int T110_Device::SetId(uint32_t serial) {
    IdSetMessage request(serial);
    std::unique_ptr<Message> reply;
    return Exchange(request, kIdInfo, reply);
}

int T110_Device::ReadVersion(std::string& text) {
    ReqVersionMessage request;
    std::unique_ptr<Message> reply;
    int result = Exchange(request, kText, reply);
    if (result == k57::kReplyOk) {
        text = static_cast<TextMessage&>(*reply).getText();
    }
    return result;
}

int T110_Device::BeginUpdate(Message& request, uint32_t timeout) {
    replyTimeout_ = timeout;
    std::unique_ptr<Message> reply;
    int result = Exchange(request, kBeginUpdateAck, reply);
    replyTimeout_ = kReplyTimeout;
    return result;
}

int T110_Device::BeginFirmwareUpdate() {
    BeginFirmwareUpdateMessage request;
    return BeginUpdate(request, kBeginFirmwareTimeout);
}

int T110_Device::BeginWaveUpdate() {
    BeginWaveUpdateMessage request;
    return BeginUpdate(request, kBeginWaveTimeout);
}

int T110_Device::SendDataFragment(const void* data, uint32_t offset, uint16_t length) {
    DataFragmentMessage request;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    request.setOffset(offset);
    request.setData(Bytes(bytes, bytes + length));
    std::unique_ptr<Message> reply;
    return Exchange(request, kDataFragmentAck, reply);
}

int T110_Device::CommitUpdate(uint32_t checksum, uint32_t size) {
    CommitUpdateMessage request;
    request.setSize(size);
    request.setChecksum(checksum);
    std::unique_ptr<Message> reply;
    return Exchange(request, kCommitUpdateAck, reply);
}

int T110_Device::EnterDiagnosticMode() {
    if (!OpenPort()) {
        return k57::kPortUnavailable;
    }
    // The port stays open: from here on the unit streams text lines.
    unsettled_ = true;
    DiagnosticModeEnableMessage request;
    Send(request);
    return 0;
}

int T110_Device::Restart() {
    if (!OpenPort()) {
        return k57::kPortUnavailable;
    }
    RestartMessage request;
    Send(request);
    unsettled_ = true;  // a unit starting up may say something
    port_.Close();
    return k57::kReplyOk;
}

int T110_Device::WaitReply(int16_t expected, std::unique_ptr<Message>& reply) {
    return reader_.Wait(expected, replyTimeout_, reply);
}
