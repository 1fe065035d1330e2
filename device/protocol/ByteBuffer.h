#pragma once

#include <cstdint>

namespace orvan::util {

// A little-endian cursor over a byte array that belongs to the caller. It
// checks no bounds: callers size the array to the payload they encode, or
// check a received payload's length before decoding it.
class ByteBuffer {
  public:
    ByteBuffer(uint8_t* array, int capacity) : base_(array), cursor_(array), capacity_(capacity) {}
    virtual ~ByteBuffer() {}

    int16_t getShort();
    void putShort(int16_t value);
    int32_t getInt();
    void putInt(int32_t value);
    void put(const void* bytes, int n);
    uint8_t* base() const { return base_; }
    uint8_t* position() const { return cursor_; }
    int capacity() const { return capacity_; }

  private:
    uint8_t* base_;
    uint8_t* cursor_;
    int capacity_;
};

}  // namespace orvan::util
