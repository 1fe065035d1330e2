#pragma once

#include <cstdint>

#include "DeviceInterface.h"
#include "EmbeddedImages.h"

// The firmware transfer, one device exchange per step: fragments of up to
// 1024 bytes of the prefixed image at their offsets, then the commit with
// the image's size and checksum.
class FirmwareTransfer {
  public:
    enum class Step { Sent, SendFailed, Committed, CommitRefused };
    static constexpr int kFragment = 1024;

    explicit FirmwareTransfer(const k57::images::Firmware& firmware) : firmware_(firmware) {}

    void Begin();
    bool active() const { return active_; }
    // Sends the next fragment, or commits once all are sent. A failure ends
    // the transfer.
    Step Next(DeviceInterface& device);
    // The progress bar's maximum: one step a fragment.
    int fragments() const { return firmware_.size / kFragment + 1; }

  private:
    const k57::images::Firmware& firmware_;
    bool active_ = false;
    int32_t cursor_ = 0;
    int32_t remaining_ = 0;
};
