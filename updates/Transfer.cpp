#include "Transfer.h"

namespace k57 {

void Transfer::Begin() {
    source_->Rewind();
    offset_ = 0;
    active_ = true;
}

void Transfer::Stop() {
    active_ = false;
    source_->Release();
}

Transfer::Step Transfer::Next(DeviceInterface& device) {
    uint8_t block[kBlock];
    int n = source_->Read(block, kBlock);
    if (n <= 0) {
        uint32_t checksum = 0, size = 0;
        source_->CommitFields(checksum, size);
        Stop();
        return device.CommitUpdate(checksum, size) == kReplyOk ? Step::Committed
                                                               : Step::CommitRefused;
    }
    if (device.SendDataFragment(block, offset_, uint16_t(n)) != kReplyOk) {
        Stop();
        return Step::SendFailed;
    }
    offset_ += uint32_t(n);
    return Step::Sent;
}

}  // namespace k57
