#include "CanLink.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "Clock.h"
#include "FrameTrace.h"
#include "LineDrain.h"

namespace k57 {

void CanLink::SendCanCommand(const std::string& text) {
    if (!text.empty()) {
        link_.Write(text.data(), int(text.size()));
    }
}

// One byte from what has arrived; the port is read in one go for all that
// is waiting, so a busy bus costs one read per tick, not one per byte.
bool CanLink::NextByte(char& byte) {
    if (next_ == pending_.size()) {
        // At most a bounded piece at a time: a line without its CR must
        // not hold the caller for a whole flood.
        int waiting = std::min(link_.Available(), kReadPiece);
        if (waiting <= 0) {
            return false;
        }
        pending_.resize(size_t(waiting));
        next_ = 0;
        if (link_.Read(pending_.data(), waiting) != waiting) {
            pending_.clear();
            return false;
        }
    }
    byte = pending_[next_++];
    return true;
}

std::optional<std::string> CanLink::ReadCanLine(int timeoutMs) {
    std::string line;
    if (!ReadCanLine(line, timeoutMs)) {
        return std::nullopt;
    }
    return line;
}

bool CanLink::ReadCanLine(std::string& line, int timeoutMs) {
    // The usual case, a whole line among the bytes taken: no byte by byte.
    if (position_ == 0 && next_ < pending_.size()) {
        const char* from = pending_.data() + next_;
        size_t span = std::min(pending_.size() - next_, sizeof line_ - 1);
        if (const void* end = std::memchr(from, '\r', span)) {
            size_t length = size_t(static_cast<const char*>(end) - from) + 1;
            line.assign(from, length);
            next_ += length;
            return true;
        }
    }
    uint32_t start = k57::TickMs();
    for (;;) {
        // The time is looked at after every piece, so bytes that never end
        // a line cannot keep the caller past its time.
        char byte;
        int taken = 0;
        while (taken < kReadPiece && NextByte(byte)) {
            ++taken;
            line_[position_++] = byte;
            if (position_ > 64) {
                position_ = 0;
            }
            if (byte == '\r') {
                line.assign(line_, size_t(position_));
                position_ = 0;
                return true;
            }
        }
        uint32_t elapsed = k57::TickMs() - start;
        if (elapsed >= uint32_t(timeoutMs)) {
            return false;
        }
        if (taken < kReadPiece && !link_.WaitForInput(uint32_t(timeoutMs) - elapsed)) {
            return false;
        }
    }
}

void CanLink::Drain() {
    static const std::atomic<bool> kNever{false};
    DrainLine(link_, SystemClock(), kQuietMs, kDrainMostMs, kNever,
              "skipped: on the CAN line before the handshake");
    pending_.clear();
    next_ = 0;
    position_ = 0;
}

namespace {

// Whether `line` (CR and bells stripped) may answer `command`. A version
// query is answered by a line that begins with its own letter; anything
// else may be the rest of a frame line cut off when the line was drained.
// The bit rate's reply is not examined and the open's may be nothing at
// all, but a frame line or one with bytes no text has (noise) answers
// neither.
bool Answers(const std::string& command, const std::string& line) {
    bool text = std::all_of(line.begin(), line.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
    if (command[0] == 'V' || command[0] == 'v') {
        return text && line.size() > 1 && line[0] == command[0];
    }
    return text && (line.empty() || (line[0] != 't' && line[0] != 'T'));
}

}  // namespace

std::optional<std::string> CanLink::Ask(const std::string& command) {
    SendCanCommand(command);
    const std::string skipped = "skipped: not the reply to " + command.substr(0, 1);
    uint32_t start = k57::TickMs();
    std::string line;
    for (uint32_t elapsed = 0; elapsed <= uint32_t(kReplyMs); elapsed = k57::TickMs() - start) {
        if (!ReadCanLine(line, kReplyMs - int(elapsed))) {
            break;
        }
        std::string reply(line, line.find_first_not_of('\a'));
        reply.pop_back();  // the CR
        if (Answers(command, reply)) {
            return reply;
        }
        frametrace::Bytes(TraceEntry::Direction::In, skipped,
                          reinterpret_cast<const uint8_t*>(line.data()), line.size());
    }
    frametrace::Note("CAN command " + command.substr(0, 1) + " unanswered within " +
                     std::to_string(kReplyMs) + " ms");
    return std::nullopt;
}

std::optional<std::string> CanLink::OpenCan(int bitRateCode) {
    Drain();
    // A channel left open takes no bit rate: closed first, which also stops
    // what a reader that went without closing it left running. The close
    // awaits no reply; whatever it brings is let go by the queries below.
    SendCanCommand("C\r");
    Ask("V\r");  // the first answer may be stale: let go
    std::string version;
    for (const char* query : {"V\r", "v\r"}) {
        std::optional<std::string> reply = Ask(query);
        if (!reply) {
            return std::nullopt;
        }
        version += *reply + " ";
    }
    if (!Ask("S" + std::to_string(bitRateCode) + "\r")) {
        return std::nullopt;
    }
    // The open's acknowledgement, if the unit sends one, is waited for so
    // that no frame before it is taken for the capture's; a unit that sends
    // none is open all the same.
    Ask("O\r");
    return version;
}

void CanLink::CloseCan() {
    SendCanCommand("C\r");
    link_.Close();
    pending_.clear();  // a closed port's queue is gone
    next_ = 0;
}

}  // namespace k57
