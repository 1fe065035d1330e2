#pragma once

#include <cstdint>
#include <vector>

#include "Clock.h"
#include "Streams.h"

namespace orvan::tms::messages {

using Bytes = std::vector<uint8_t>;

// One message of the unit's framed protocol. A frame is the type word
// (code in bits 0-14, flag in bit 15), the payload length N, N payload
// bytes and a four-byte trailer written as zeros; all little-endian.
class AbstractMessage {
  public:
    explicit AbstractMessage(int16_t type) : type_(type) {}
    virtual ~AbstractMessage() = default;

    // Hands as much of the frame to `out` as its free space allows; true
    // once the whole frame is written. This base writes all or nothing.
    virtual bool writeTo(orvan::io::OutputStream& out);
    virtual Bytes encodePayload() = 0;
    virtual uint16_t payloadLength() = 0;

    int16_t getType() const { return type_; }
    bool getFlag() const { return flag_; }
    void setFlag(bool flag) { flag_ = flag; }
    // Header and payload, without the trailer.
    uint16_t encodedLength() { return uint16_t(payloadLength() + kHeaderSize); }
    Bytes encode();

    static constexpr int kHeaderSize = 4;
    static constexpr int kTrailerSize = 4;

  protected:
    // The type word and N: the first four bytes of the frame.
    Bytes frameHeader();

  private:
    int16_t type_;
    bool flag_ = false;
};

// A message without payload.
class AbstractSimpleMessage : public AbstractMessage {
  public:
    explicit AbstractSimpleMessage(int16_t type) : AbstractMessage(type) {}
    Bytes encodePayload() override { return {}; }
    uint16_t payloadLength() override { return 0; }
};

// The progress of a frame written in pieces as the stream's free space
// allows: header (with any fixed payload fields), body, trailer.
class ResumableFrameWriter {
  public:
    // `header` must stay valid while the frame is being written; so must
    // the `body` of `length` bytes.
    bool writeTo(orvan::io::OutputStream& out, const Bytes& header, const uint8_t* body,
                 int length);

  private:
    int state_ = 0;
    int done_ = 0;
};

}  // namespace orvan::tms::messages

namespace k57 {

// Writes the whole message to `out` as its free space allows, giving up
// after `ms` milliseconds of `clock`: an output that never drains cannot
// hang the caller.
bool WriteWithin(orvan::tms::messages::AbstractMessage& message, orvan::io::OutputStream& out,
                 uint32_t ms, Clock& clock = SystemClock());

}  // namespace k57
