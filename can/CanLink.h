#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "ByteChannel.h"

namespace k57 {

// The unit's CAN channel: one-letter ASCII commands ending in CR, replies
// and frame lines ending in CR, over the session's port.
class CanLink {
  public:
    // Bit-rate codes 0..8 select these rates (kbit/s).
    static constexpr const char* kBitRates[] = {"10",  "20",  "50",  "100", "125",
                                                "250", "500", "800", "1000"};
    static constexpr int kDefaultBitRate = 6;
    static constexpr int kReadPiece = 4096;
    // How long each reply of the handshake is waited for.
    static constexpr int kReplyMs = 100;
    // Before the handshake the line must have been quiet this long, and is
    // given at most kDrainMostMs to become so: a busy bus never is.
    static constexpr uint32_t kQuietMs = 50;
    static constexpr uint32_t kDrainMostMs = 500;

    explicit CanLink(k57::ByteChannel& link) : link_(link) {}

    void SendCanCommand(const std::string& text);
    // The next line, CR included, or nothing when none completes within
    // `timeoutMs`. An unfinished line is kept and continued by the next call.
    std::optional<std::string> ReadCanLine(int timeoutMs);
    // The same into `line`, whose storage is reused: a busy bus brings
    // thousands of lines a second.
    bool ReadCanLine(std::string& line, int timeoutMs);
    // The open handshake on a port just opened: the two version replies,
    // each followed by a blank, or nothing when the unit does not answer.
    // What waited on the line, and every line that is not the reply to the
    // command sent (frames, bells, broken lines), is let go and traced as
    // skipped: a reader that went without closing the channel leaves the
    // adapter sending. So the first line read after it is the first one
    // after the open command's acknowledgement.
    std::optional<std::string> OpenCan(int bitRateCode);
    void CloseCan();

  private:
    bool NextByte(char& byte);
    // Lets go of what waits on the line and of any line begun.
    void Drain();
    // Sends `command` (CR included) and waits kReplyMs for a line that may
    // be its reply: for a version query one that begins with its letter,
    // for the others any text but a frame line. The reply without its CR
    // and bells.
    std::optional<std::string> Ask(const std::string& command);

    k57::ByteChannel& link_;
    // The line buffer: 65 bytes; a longer line wraps over its start.
    char line_[65] = {};
    int position_ = 0;
    // Bytes taken from the port and not yet through the line buffer.
    std::string pending_;
    size_t next_ = 0;
};

}  // namespace k57
