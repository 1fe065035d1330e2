#include "SoundTransfer.h"

#include "ByteBuffer.h"

void SoundTransfer::Begin() {
    package_ = std::make_unique<k57::images::SoundPackage>(path_);
    size_ = package_->size();
    offset_ = 0;
}

SoundTransfer::Step SoundTransfer::Next(DeviceInterface& device) {
    uint8_t block[kBlock];
    int n = package_->read(block, kBlock);
    if (n <= 0) {
        uint8_t header[8] = {};
        package_->seek(0);
        package_->read(header, sizeof header);
        package_.reset();
        orvan::util::ByteBuffer fields(header, sizeof header);
        uint32_t size = uint32_t(fields.getInt());
        uint32_t crc = uint32_t(fields.getInt());
        return device.CommitUpdate(crc, size) != k57::kReplyOk ? Step::CommitRefused
                                                               : Step::Committed;
    }
    if (device.SendDataFragment(block, uint32_t(offset_), uint16_t(n)) != k57::kReplyOk) {
        package_.reset();
        return Step::SendFailed;
    }
    offset_ += n;
    return Step::Sent;
}
