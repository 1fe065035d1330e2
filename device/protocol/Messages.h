#pragma once

#include <cstdint>
#include <string>

#include "AbstractMessage.h"

namespace orvan::tms::messages {

// Type codes of the protocol.
enum MessageCode : int16_t {
    kReqIdInfo = 10,
    kIdInfo = 11,
    kIdSet = 13,
    kReqVersion = 14,
    kRestart = 15,
    kDiagnosticModeEnable = 100,
    kText = 150,
    kCommitUpdate = 190,
    kCommitUpdateAck = 191,
    kDataFragment = 192,
    kDataFragmentAck = 193,
    kBeginUpdateAck = 194,
    kBeginFirmwareUpdate = 195,
    kBeginWaveUpdate = 196,
    kReqSettings = 200,
    kSettings = 201,
};

template <int16_t Code>
class SimpleMessage : public AbstractSimpleMessage {
  public:
    static constexpr int16_t kType = Code;
    SimpleMessage() : AbstractSimpleMessage(Code) {}
    ~SimpleMessage() override = default;
};

using ReqIdInfoMessage = SimpleMessage<kReqIdInfo>;
using ReqVersionMessage = SimpleMessage<kReqVersion>;
using RestartMessage = SimpleMessage<kRestart>;
using DiagnosticModeEnableMessage = SimpleMessage<kDiagnosticModeEnable>;
using CommitUpdateAckMessage = SimpleMessage<kCommitUpdateAck>;
using DataFragmentAckMessage = SimpleMessage<kDataFragmentAck>;
using BeginUpdateAckMessage = SimpleMessage<kBeginUpdateAck>;
using BeginFirmwareUpdateMessage = SimpleMessage<kBeginFirmwareUpdate>;
using BeginWaveUpdateMessage = SimpleMessage<kBeginWaveUpdate>;
using ReqSettingsMessage = SimpleMessage<kReqSettings>;

// A 32-bit serial number: the unit's (IdInfo) or one to assign (IdSet).
template <int16_t Code>
class SerialNumberMessage : public AbstractMessage {
  public:
    static constexpr int16_t kType = Code;
    explicit SerialNumberMessage(uint32_t value) : AbstractMessage(Code), value_(value) {}
    ~SerialNumberMessage() override = default;
    uint32_t getValue() const { return value_; }
    Bytes encodePayload() override;
    uint16_t payloadLength() override { return 4; }

  private:
    uint32_t value_;
};

using IdInfoMessage = SerialNumberMessage<kIdInfo>;
using IdSetMessage = SerialNumberMessage<kIdSet>;

// A counted text: length L (uint16), then L bytes without a terminator.
class TextMessage : public AbstractMessage {
  public:
    static constexpr int16_t kType = kText;
    explicit TextMessage(std::string text) : AbstractMessage(kType), text_(std::move(text)) {}
    ~TextMessage() override = default;
    const char* getText() const { return text_.c_str(); }
    const std::string& text() const { return text_; }
    Bytes encodePayload() override;
    uint16_t payloadLength() override { return uint16_t(text_.size() + 2); }

  private:
    std::string text_;
};

class CommitUpdateMessage : public AbstractMessage {
  public:
    static constexpr int16_t kType = kCommitUpdate;
    CommitUpdateMessage() : AbstractMessage(kType) {}
    ~CommitUpdateMessage() override = default;
    void setSize(uint32_t size) { size_ = size; }
    void setChecksum(uint32_t checksum) { checksum_ = checksum; }
    uint32_t getSize() const { return size_; }
    uint32_t getChecksum() const { return checksum_; }
    Bytes encodePayload() override;
    uint16_t payloadLength() override { return 8; }

  private:
    uint32_t size_ = 0;
    uint32_t checksum_ = 0;
};

// A piece of an update image: offset (uint32), data length D (uint16), D
// bytes. Written in pieces, since it does not fit the 64-byte window.
class DataFragmentMessage : public AbstractMessage {
  public:
    static constexpr int16_t kType = kDataFragment;
    DataFragmentMessage() : AbstractMessage(kType) {}
    ~DataFragmentMessage() override = default;
    void setOffset(uint32_t offset) { offset_ = offset; }
    void setData(Bytes data) { data_ = std::move(data); }
    uint32_t getOffset() const { return offset_; }
    uint16_t getLength() const { return uint16_t(data_.size()); }
    const Bytes& getData() const { return data_; }
    bool writeTo(orvan::io::OutputStream& out) override;
    Bytes encodePayload() override;
    uint16_t payloadLength() override { return uint16_t(data_.size() + 6); }

  private:
    Bytes header();

    uint32_t offset_ = 0;
    Bytes data_;
    ResumableFrameWriter writer_;
};

// The settings text followed by one NUL byte. Written in pieces.
class SettingsMessage : public AbstractMessage {
  public:
    static constexpr int16_t kType = kSettings;
    SettingsMessage() : AbstractMessage(kType) {}
    ~SettingsMessage() override = default;
    void setText(const std::string& text);
    const char* getText() const { return text_.c_str(); }
    const std::string& text() const { return text_; }
    bool writeTo(orvan::io::OutputStream& out) override;
    Bytes encodePayload() override;
    uint16_t payloadLength() override { return uint16_t(text_.size() + 1); }

  private:
    std::string text_;
    ResumableFrameWriter writer_;
};

}  // namespace orvan::tms::messages
