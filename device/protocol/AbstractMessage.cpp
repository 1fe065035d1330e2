#include "AbstractMessage.h"

#include <chrono>
#include <thread>

#include "ByteBuffer.h"
#include "Clock.h"
#include "VCOM_Port.h"

namespace orvan::tms::messages {

namespace {
const uint8_t kTrailer[AbstractMessage::kTrailerSize] = {0, 0, 0, 0};
}

Bytes AbstractMessage::frameHeader() {
    Bytes header(kHeaderSize);
    orvan::util::ByteBuffer buffer(header.data(), kHeaderSize);
    buffer.putShort(int16_t(uint16_t(type_) | (flag_ ? 0x8000 : 0)));
    buffer.putShort(int16_t(payloadLength()));
    return header;
}

Bytes AbstractMessage::encode() {
    Bytes frame = frameHeader();
    Bytes payload = encodePayload();
    frame.insert(frame.end(), payload.begin(), payload.end());
    return frame;
}

bool AbstractMessage::writeTo(orvan::io::OutputStream& out) {
    if (out.available() < encodedLength() + kTrailerSize) {
        return false;
    }
    Bytes frame = encode();
    out.write(frame.data(), int(frame.size()));
    out.write(kTrailer, kTrailerSize);
    return true;
}

bool ResumableFrameWriter::writeTo(orvan::io::OutputStream& out, const Bytes& header,
                                   const uint8_t* body, int length) {
    if (state_ == 0) {
        if (out.available() < int(header.size())) {
            return false;
        }
        out.write(header.data(), int(header.size()));
        done_ = 0;
        state_ = 1;
    }
    if (state_ == 1) {
        int left = length - done_;
        int room = out.available();
        int n = room < left ? room : left;
        if (n > 0) {
            out.write(body + done_, n);
            done_ += n;
        }
        if (done_ < length) {
            return false;
        }
        state_ = 2;
    }
    if (out.available() < AbstractMessage::kTrailerSize) {
        return false;
    }
    out.write(kTrailer, AbstractMessage::kTrailerSize);
    state_ = 0;
    return true;
}

}  // namespace orvan::tms::messages

namespace k57 {

bool WriteWithin(orvan::tms::messages::AbstractMessage& message, orvan::io::OutputStream& out,
                 uint32_t ms, Clock& clock) {
    uint32_t start = clock.NowMs();
    while (!message.writeTo(out)) {
        if (clock.NowMs() - start >= ms) {
            return false;
        }
        // A window that is not wholly free drains at line speed: look
        // again shortly. A free one takes the next piece at once.
        if (out.available() < VCOM_Port::kWriteWindow) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    return true;
}

}  // namespace k57
