#include "FirmwareTransfer.h"

#include "Crc32.h"

void FirmwareTransfer::Begin() {
    cursor_ = 0;
    remaining_ = int32_t(firmware_.buffer.size());
    active_ = true;
}

FirmwareTransfer::Step FirmwareTransfer::Next(DeviceInterface& device) {
    if (remaining_ == 0) {
        active_ = false;
        // The checksum covers the image alone, not the 0xFF prefix.
        uint32_t crc = Crc32(firmware_.buffer.data() + 8, unsigned(firmware_.size));
        return device.CommitUpdate(crc, uint32_t(firmware_.size)) != k57::kReplyOk
                   ? Step::CommitRefused
                   : Step::Committed;
    }
    int n = remaining_ < kFragment ? remaining_ : kFragment;
    if (device.SendDataFragment(firmware_.buffer.data() + cursor_, uint32_t(cursor_),
                                uint16_t(n)) != k57::kReplyOk) {
        active_ = false;
        return Step::SendFailed;
    }
    cursor_ += n;
    remaining_ -= n;
    return Step::Sent;
}
