#include "UpdateSources.h"

#include <algorithm>
#include <cstring>

#include "ByteBuffer.h"
#include "Crc32.h"

namespace k57 {

int FirmwareSource::Read(uint8_t* buffer, int n) {
    size_t count = std::min(firmware_.buffer.size() - cursor_, size_t(n));
    std::memcpy(buffer, firmware_.buffer.data() + cursor_, count);
    cursor_ += count;
    return int(count);
}

void FirmwareSource::CommitFields(uint32_t& checksum, uint32_t& size) {
    checksum = Crc32(firmware_.buffer.data() + 8, unsigned(firmware_.size));
    size = uint32_t(firmware_.size);
}

void SoundSource::Rewind() {
    package_ = std::make_unique<images::SoundPackage>(path_);
    size_ = package_->size();
}

int SoundSource::Read(uint8_t* buffer, int n) {
    return package_ ? package_->read(buffer, n) : 0;
}

void SoundSource::CommitFields(uint32_t& checksum, uint32_t& size) {
    uint8_t header[8] = {};
    if (package_) {
        package_->seek(0);
        package_->read(header, sizeof header);
    }
    orvan::util::ByteBuffer fields(header, sizeof header);
    size = uint32_t(fields.getInt());
    checksum = uint32_t(fields.getInt());
}

}  // namespace k57
