#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "ByteChannel.h"
#include "Clock.h"

namespace k57::fuzz {

// A port whose received bytes are the fuzzer's input, arriving in pieces of
// the sizes `pieces` gives; once they are used up nothing more can come.
class MemoryChannel : public ByteChannel {
  public:
    MemoryChannel(const uint8_t* data, size_t size, uint8_t pieces)
        : data_(data), size_(size), pieces_(pieces) {}

    bool Open() override { return true; }
    std::string OpenError() const override { return {}; }
    void Close() override {}
    bool IsOpen() const override { return true; }
    bool WaitForInput(uint32_t) override {
        if (arrived_ < size_) {
            arrived_ = std::min(size_, arrived_ + 1 + (pieces_ = uint8_t(pieces_ * 33 + 7)) % 64);
            return true;
        }
        return false;
    }
    int Available() override { return int(arrived_ - read_); }
    int Read(void* buffer, int length) override {
        if (length > Available()) {
            return -2;
        }
        std::memcpy(buffer, data_ + read_, size_t(length));
        read_ += size_t(length);
        return length;
    }
    int Write(const void*, int length) override { return length; }
    bool Exhausted() const { return read_ == size_; }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t arrived_ = 0;
    size_t read_ = 0;
    uint8_t pieces_;
};

// Time that moves 50 ms each time it is read and never sleeps.
class SteppingClock : public Clock {
  public:
    uint32_t NowMs() override { return now_ += 50; }
    uint32_t RealMs(uint32_t) override { return 0; }

  private:
    uint32_t now_ = 0;
};

}  // namespace k57::fuzz
