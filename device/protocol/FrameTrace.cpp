#include "FrameTrace.h"

#include <algorithm>

#include "Messages.h"
#include "ResultCodes.h"
#include "SettingsMask.h"

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

bool StartsLikeSettingsFrame(const std::vector<uint8_t>& bytes) {
    return bytes.size() >= 2 && bytes[0] == uint8_t(kSettings) && (bytes[1] & 0x7F) == 0;
}

// Masks the text in `bytes` from `from` to the first NUL (or the end); the
// masked text has the same length, so the frame keeps its layout.
void MaskFrom(std::vector<uint8_t>& bytes, size_t from) {
    if (from >= bytes.size()) {
        return;
    }
    auto end = std::find(bytes.begin() + long(from), bytes.end(), uint8_t(0));
    std::string text(bytes.begin() + long(from), end);
    std::string masked = k57::MaskSettings(text);
    if (masked.size() != text.size()) {
        masked.assign(text.size(), '*');  // never the text in clear
    }
    std::copy(masked.begin(), masked.end(), bytes.begin() + long(from));
}

// Bytes that are no frame may begin inside a settings line whose key went
// before them: the digits of that first line are masked whatever it is.
void MaskNoise(std::vector<uint8_t>& bytes) {
    auto end = std::find_if(bytes.begin(), bytes.end(), [](uint8_t b) { return b == '\r' || b == '\n'; });
    std::replace_if(bytes.begin(), end, [](uint8_t b) { return b >= '0' && b <= '9'; }, uint8_t('*'));
    MaskFrom(bytes, size_t(end - bytes.begin()));
}

// Every entry goes into the trace through here: the sinks and the ring get
// the bytes already masked, so no view, file or report can show more.
void Keep(TraceEntry entry, Trace& to) {
    if (!to.RevealsPrivate()) {
        MaskPrivate(entry);
    }
    to.Record(std::move(entry));
}

}  // namespace

void MaskPrivate(TraceEntry& entry) {
    if (entry.code == kSettings || StartsLikeSettingsFrame(entry.bytes)) {
        MaskFrom(entry.bytes, AbstractMessage::kHeaderSize);
    } else if (entry.code < 0) {
        MaskNoise(entry.bytes);
    }
}

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
        case kLineLost: name = "LineLost"; break;
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
        Keep(Entry(TraceEntry::Direction::Out, CodeOf(frame, n), what, frame, n), to);
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
    Keep(std::move(entry), to);
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
        Keep(Entry(direction, CodeOf(bytes, n), label, bytes, n), to);
    }
}

void Bytes(TraceEntry::Direction direction, const std::string& what, const uint8_t* bytes,
           size_t n, Trace& to) {
    if (TraceOn(to)) {
        Keep(Entry(direction, -1, what, bytes, n), to);
    }
}

void Note(const std::string& what, int result, Trace& to) {
    if (TraceOn(to)) {
        TraceEntry entry = Entry(TraceEntry::Direction::Note, -1, what, nullptr, 0);
        entry.outcome = result ? ResultName(result) : std::string();
        Keep(std::move(entry), to);
    }
}

}  // namespace k57::frametrace
