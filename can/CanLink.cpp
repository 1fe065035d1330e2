#include "CanLink.h"

#include <algorithm>
#include <cstring>

#include "CanCapture.h"
#include "Clock.h"

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
    if (!kept_.empty()) {
        line = std::move(kept_.front());
        kept_.pop_front();
        return true;
    }
    return ReadFresh(line, timeoutMs);
}

bool CanLink::ReadFresh(std::string& line, int timeoutMs) {
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

std::optional<std::string> CanLink::OpenCan(int bitRateCode) {
    std::string version;
    SendCanCommand("V\r");
    ReadCanLine(100);  // the first answer may be stale: discarded
    for (const char* query : {"V\r", "v\r"}) {
        SendCanCommand(query);
        std::optional<std::string> line = ReadCanLine(100);
        if (!line) {
            return std::nullopt;
        }
        version += line->substr(0, line->size() - 1) + " ";
    }
    SendCanCommand("S" + std::to_string(bitRateCode) + "\r");
    if (!ReadCanLine(100)) {
        return std::nullopt;
    }
    SendCanCommand("O\r");
    // Frames may follow the acknowledgement at once, or even come before
    // it; only what is not a frame is dropped.
    uint32_t start = k57::TickMs();
    std::string line;
    CanRecord frame;
    for (uint32_t elapsed = 0; elapsed <= 100; elapsed = k57::TickMs() - start) {
        if (!ReadFresh(line, int(100 - elapsed))) {
            break;
        }
        if (!CanCapture::ParseCanFrame(line, frame)) {
            break;  // the acknowledgement
        }
        kept_.push_back(line);
    }
    return version;
}

void CanLink::CloseCan() {
    SendCanCommand("C\r");
    link_.Close();
    pending_.clear();  // a closed port's queue is gone
    kept_.clear();
    next_ = 0;
}

}  // namespace k57
