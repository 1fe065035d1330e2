#pragma once

#include <cstdint>
#include <memory>

#include "DeviceInterface.h"

namespace k57 {

// What an update sends: its bytes in order, then the size and checksum the
// commit carries.
class TransferSource {
  public:
    virtual ~TransferSource() = default;
    // Back to the first byte.
    virtual void Rewind() = 0;
    // Up to `n` next bytes; 0 at the end.
    virtual int Read(uint8_t* buffer, int n) = 0;
    virtual void CommitFields(uint32_t& checksum, uint32_t& size) = 0;
    // The progress bar's maximum: one step a block.
    virtual int Steps() const = 0;
    // Called when the transfer ends or is stopped.
    virtual void Release() {}
};

// An update transfer, one device exchange per step: blocks of up to 1024
// bytes at their offsets, then the commit. A failure ends the transfer.
class Transfer {
  public:
    enum class Step { Sent, SendFailed, Committed, CommitRefused };
    static constexpr int kBlock = 1024;

    explicit Transfer(std::unique_ptr<TransferSource> source) : source_(std::move(source)) {}

    void Begin();
    bool active() const { return active_; }
    void Stop();
    // Sends the next block, or commits once all are sent.
    Step Next(DeviceInterface& device);
    int steps() const { return source_->Steps(); }

  private:
    std::unique_ptr<TransferSource> source_;
    bool active_ = false;
    uint32_t offset_ = 0;
};

}  // namespace k57
