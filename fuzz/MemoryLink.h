#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "Clock.h"
#include "TextLink.h"

namespace k57::fuzz {

// A port whose received bytes are the fuzzer's input, arriving in pieces of
// the sizes `pieces` gives; once they are used up nothing more can come.
class MemoryLink : public TextLink {
  public:
    MemoryLink(const uint8_t* data, size_t size, uint8_t pieces)
        : in_(*this), out_(), data_(data), size_(size), pieces_(pieces) {}

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
    orvan::io::InputStream& input() override { return in_; }
    orvan::io::OutputStream& output() override { return out_; }
    bool Exhausted() const { return read_ == size_; }

  private:
    class Input : public orvan::io::InputStream {
      public:
        explicit Input(MemoryLink& link) : link_(link) {}
        int available() override { return int(link_.arrived_ - link_.read_); }
        bool isOpen() override { return true; }
        void close() override {}
        bool open() override { return true; }
        bool isEmpty() override { return available() == 0; }
        int read(void* buffer, int length) override {
            if (length > available()) {
                return -2;
            }
            std::memcpy(buffer, link_.data_ + link_.read_, size_t(length));
            link_.read_ += size_t(length);
            return length;
        }

      private:
        MemoryLink& link_;
    };
    class Output : public orvan::io::OutputStream {
      public:
        bool isOpen() override { return true; }
        void close() override {}
        bool open() override { return true; }
        int available() override { return 64; }
        bool isEmpty() override { return true; }
        int write(const void*, int length) override { return length; }
    };

    Input in_;
    Output out_;
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
