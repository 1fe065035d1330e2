#include "Messages.h"

#include <cstring>

#include "ByteBuffer.h"

namespace orvan::tms::messages {

template <int16_t Code>
Bytes SerialNumberMessage<Code>::encodePayload() {
    Bytes payload(4);
    orvan::util::ByteBuffer(payload.data(), 4).putInt(int32_t(value_));
    return payload;
}

template class SerialNumberMessage<kIdInfo>;
template class SerialNumberMessage<kIdSet>;

Bytes TextMessage::encodePayload() {
    Bytes payload(payloadLength());
    orvan::util::ByteBuffer buffer(payload.data(), int(payload.size()));
    buffer.putShort(int16_t(text_.size()));
    buffer.put(text_.data(), int(text_.size()));
    return payload;
}

Bytes CommitUpdateMessage::encodePayload() {
    Bytes payload(8);
    orvan::util::ByteBuffer buffer(payload.data(), 8);
    buffer.putInt(int32_t(size_));
    buffer.putInt(int32_t(checksum_));
    return payload;
}

Bytes DataFragmentMessage::header() {
    Bytes h = frameHeader();
    h.resize(kHeaderSize + 6);
    orvan::util::ByteBuffer buffer(h.data() + kHeaderSize, 6);
    buffer.putInt(int32_t(offset_));
    buffer.putShort(int16_t(data_.size()));
    return h;
}

Bytes DataFragmentMessage::encodePayload() {
    Bytes h = header();
    Bytes payload(h.begin() + kHeaderSize, h.end());
    payload.insert(payload.end(), data_.begin(), data_.end());
    return payload;
}

bool DataFragmentMessage::writeTo(orvan::io::OutputStream& out) {
    return writer_.writeTo(out, header(), data_.data(), int(data_.size()));
}

void SettingsMessage::setText(const std::string& text) {
    // The text ends at its first NUL, as it does on the wire.
    text_ = std::string(text.c_str());
}

Bytes SettingsMessage::encodePayload() {
    const uint8_t* begin = reinterpret_cast<const uint8_t*>(text_.c_str());
    return Bytes(begin, begin + text_.size() + 1);
}

bool SettingsMessage::writeTo(orvan::io::OutputStream& out) {
    const uint8_t* body = reinterpret_cast<const uint8_t*>(text_.c_str());
    return writer_.writeTo(out, frameHeader(), body, int(text_.size() + 1));
}

}  // namespace orvan::tms::messages
