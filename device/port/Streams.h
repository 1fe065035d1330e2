#pragma once

// Byte-stream interfaces through which messages are written and read. The
// two interfaces declare their operations in different orders; both orders
// are part of the interface and must not be rearranged.

namespace orvan::io {

class InputStream {
  public:
    virtual ~InputStream() {}
    // Bytes that can be read now without waiting.
    virtual int available() = 0;
    virtual bool isOpen() = 0;
    virtual void close() = 0;
    virtual bool open() = 0;
    virtual bool isEmpty() = 0;
    // Reads exactly `length` bytes: `length`, -1 when not open, -2 when fewer came.
    virtual int read(void* buffer, int length) = 0;
};

class OutputStream {
  public:
    virtual ~OutputStream() {}
    virtual bool isOpen() = 0;
    virtual void close() = 0;
    virtual bool open() = 0;
    // Bytes that can be written now without blocking.
    virtual int available() = 0;
    virtual bool isEmpty() = 0;
    // `length`, -1 when not open, -2 when fewer bytes were taken.
    virtual int write(const void* buffer, int length) = 0;
};

}  // namespace orvan::io
