#pragma once

#include <deque>
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
    // Frames that come with the open command's acknowledgement are kept
    // for the next reads: the first frame of a capture is not lost.
    std::optional<std::string> OpenCan(int bitRateCode);
    void CloseCan();

  private:
    bool NextByte(char& byte);
    // A line from the port, past the kept frames.
    bool ReadFresh(std::string& line, int timeoutMs);

    k57::ByteChannel& link_;
    // Frame lines the handshake read past, handed out before anything new.
    std::deque<std::string> kept_;
    // The line buffer: 65 bytes; a longer line wraps over its start.
    char line_[65] = {};
    int position_ = 0;
    // Bytes taken from the port and not yet through the line buffer.
    std::string pending_;
    size_t next_ = 0;
};

}  // namespace k57
