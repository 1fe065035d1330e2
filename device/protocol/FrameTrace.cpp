#include "FrameTrace.h"

#include "Messages.h"
#include "ResultCodes.h"

using namespace orvan::tms::messages;

namespace k57::frametrace {

namespace {

int CodeOf(const uint8_t* bytes, size_t n) {
    return n >= 2 ? (bytes[0] | bytes[1] << 8) & 0x7FFF : -1;
}

TraceEntry Entry(TraceEntry::Direction direction, int code, std::string what,
                 const uint8_t* bytes, size_t n) {
    TraceEntry entry;
    entry.direction = direction;
    entry.code = code;
    entry.what = std::move(what);
    entry.bytes.assign(bytes, bytes + n);
    return entry;
}

}  // namespace

const char* MessageName(int code) {
    switch (code) {
        case kReqIdInfo: return "ReqIdInfoMessage";
        case kIdInfo: return "IdInfoMessage";
        case kIdSet: return "IdSetMessage";
        case kReqVersion: return "ReqVersionMessage";
        case kRestart: return "RestartMessage";
        case kDiagnosticModeEnable: return "DiagnosticModeEnableMessage";
        case kText: return "TextMessage";
        case kCommitUpdate: return "CommitUpdateMessage";
        case kCommitUpdateAck: return "CommitUpdateAckMessage";
        case kDataFragment: return "DataFragmentMessage";
        case kDataFragmentAck: return "DataFragmentAckMessage";
        case kBeginUpdateAck: return "BeginUpdateAckMessage";
        case kBeginFirmwareUpdate: return "BeginFirmwareUpdateMessage";
        case kBeginWaveUpdate: return "BeginWaveUpdateMessage";
        case kReqSettings: return "ReqSettingsMessage";
        case kSettings: return "SettingsMessage";
        default: return "unknown";
    }
}

std::string ResultName(int result) {
    const char* name = "result";
    switch (result) {
        case kReplyOk: name = "ReplyOk"; break;
        case kPortUnavailable: name = "PortUnavailable"; break;
        case kNoReply: name = "NoReply"; break;
        case kBadReply: name = "BadReply"; break;
        case kCannotFrame: name = "CannotFrame"; break;
        default: break;
    }
    return std::string(name) + " (" + std::to_string(result) + ")";
}

std::string FrameLabel(const uint8_t* bytes, size_t n) {
    int code = CodeOf(bytes, n);
    return code < 0 ? std::string() : MessageName(code) + (" (" + std::to_string(code) + ")");
}

void Sent(AbstractMessage& message, Trace& to) {
    if (!TraceOn(to)) {
        return;
    }
    orvan::tms::messages::Bytes frame = message.encode();
    frame.insert(frame.end(), AbstractMessage::kTrailerSize, 0);
    SentFrame(frame.data(), frame.size(), {}, to);
}

void SentFrame(const uint8_t* frame, size_t n, const std::string& remark, Trace& to) {
    if (TraceOn(to)) {
        std::string what = FrameLabel(frame, n) + (remark.empty() ? "" : ", " + remark);
        to.Record(
            Entry(TraceEntry::Direction::Out, CodeOf(frame, n), what, frame, n));
    }
}

void Received(const uint8_t* frame, size_t n, int result, const std::string& remark,
              Trace& to) {
    if (!TraceOn(to)) {
        return;
    }
    std::string what = FrameLabel(frame, n) + (remark.empty() ? "" : ", " + remark);
    TraceEntry entry = Entry(TraceEntry::Direction::In, CodeOf(frame, n), what, frame, n);
    entry.outcome = result ? ResultName(result) : std::string();
    to.Record(std::move(entry));
}

// A partial frame keeps its code: a settings text in one must be known as one.
void Partial(TraceEntry::Direction direction, const uint8_t* bytes, size_t n,
             const std::string& remark, Trace& to) {
    if (TraceOn(to)) {
        std::string label = "partial frame";
        if (n >= 2) {
            label += ": " + FrameLabel(bytes, n);
        }
        label += ", " + remark;
        to.Record(Entry(direction, CodeOf(bytes, n), label, bytes, n));
    }
}

void Bytes(TraceEntry::Direction direction, const std::string& what, const uint8_t* bytes,
           size_t n, Trace& to) {
    if (TraceOn(to)) {
        to.Record(Entry(direction, -1, what, bytes, n));
    }
}

void Note(const std::string& what, int result, Trace& to) {
    if (TraceOn(to)) {
        TraceEntry entry = Entry(TraceEntry::Direction::Note, -1, what, nullptr, 0);
        entry.outcome = result ? ResultName(result) : std::string();
        to.Record(std::move(entry));
    }
}

}  // namespace k57::frametrace
