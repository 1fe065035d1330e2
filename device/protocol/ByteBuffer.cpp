#include "ByteBuffer.h"

#include <cstring>

namespace orvan::util {

int16_t ByteBuffer::getShort() {
    uint16_t v = uint16_t(cursor_[0] | (cursor_[1] << 8));
    cursor_ += 2;
    return int16_t(v);
}

void ByteBuffer::putShort(int16_t value) {
    uint16_t v = uint16_t(value);
    cursor_[0] = uint8_t(v);
    cursor_[1] = uint8_t(v >> 8);
    cursor_ += 2;
}

int32_t ByteBuffer::getInt() {
    uint32_t v = uint32_t(cursor_[0]) | uint32_t(cursor_[1]) << 8 | uint32_t(cursor_[2]) << 16 |
                 uint32_t(cursor_[3]) << 24;
    cursor_ += 4;
    return int32_t(v);
}

void ByteBuffer::putInt(int32_t value) {
    uint32_t v = uint32_t(value);
    for (int i = 0; i < 4; ++i) {
        cursor_[i] = uint8_t(v >> (8 * i));
    }
    cursor_ += 4;
}

void ByteBuffer::put(const void* bytes, int n) {
    if (n > 0) {
        std::memcpy(cursor_, bytes, size_t(n));
        cursor_ += n;
    }
}

}  // namespace orvan::util
