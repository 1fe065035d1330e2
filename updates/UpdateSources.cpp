#include "UpdateSources.h"

#include <algorithm>
#include <cstring>

#include "ByteBuffer.h"
#include "Crc32.h"
#include "FileRead.h"

namespace k57 {

namespace {

constexpr int kSoundHeader = 8;

// The sound package's header: the data size, then the data's checksum.
void SoundHeader(const uint8_t* header, uint32_t& size, uint32_t& checksum) {
    uint8_t copy[kSoundHeader];
    std::memcpy(copy, header, sizeof copy);
    orvan::util::ByteBuffer fields(copy, kSoundHeader);
    size = uint32_t(fields.getInt());
    checksum = uint32_t(fields.getInt());
}

}  // namespace

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
    package_ = std::make_unique<images::SoundPackage>(path_.c_str());
    size_ = package_->size();
}

int SoundSource::Read(uint8_t* buffer, int n) {
    return package_ ? package_->read(buffer, n) : 0;
}

void SoundSource::CommitFields(uint32_t& checksum, uint32_t& size) {
    uint8_t header[kSoundHeader] = {};
    if (package_) {
        package_->seek(0);
        package_->read(header, sizeof header);
    }
    SoundHeader(header, size, checksum);
}

bool SoundSource::Check(const std::string& path, uint32_t& dataSize, std::string& problem) {
    std::string package, error;
    if (!images::ReadImage(path, FileLimits::kSoundImage, package, error)) {
        problem = "cannot read " + path + ": " + error;
        return false;
    }
    if (!HeaderMatches(package, dataSize)) {
        problem =
            path + ": not a sound package (its header's size and checksum do not match its data)";
        return false;
    }
    return true;
}

bool SoundSource::HeaderMatches(std::string_view package, uint32_t& dataSize) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(package.data());
    uint32_t size = 0, checksum = 0;
    if (package.size() >= size_t(kSoundHeader)) {
        SoundHeader(bytes, size, checksum);
    }
    if (package.size() < size_t(kSoundHeader) || size != uint32_t(package.size() - kSoundHeader) ||
        Crc32(bytes + kSoundHeader, size) != checksum) {
        return false;
    }
    dataSize = size;
    return true;
}

}  // namespace k57
