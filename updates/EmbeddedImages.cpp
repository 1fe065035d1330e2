#include "EmbeddedImages.h"

#include <cstring>
#include <stdexcept>

#include "FileRead.h"
#include "ProgramText.h"
#include "TextArguments.h"

namespace k57::images {

const char kFirmwarePath[] = ":/blow.bin";
const char kSoundPath[] = ":/wave_list.bin";
const char kCataloguePath[] = ":/parameters.xml";

namespace {

constexpr int kInfoOffset = 256;
constexpr int kPrefix = 8;

std::unique_ptr<QFile> OpenItem(const char* path) {
    auto file = std::make_unique<QFile>(QString::fromUtf8(path));
    if (!file->open(QIODevice::ReadOnly)) {
        throw std::runtime_error(
            WithArguments(K57_TR("EmbeddedImages", "Встроенные данные не найдены: %1"), {path}));
    }
    return file;
}

std::string ReadItem(const char* path, long long limit) {
    std::string bytes, error;
    if (!ReadImage(path, limit, bytes, error)) {
        throw std::runtime_error(std::string(path) + ": " + error);
    }
    return bytes;
}

}  // namespace

bool ReadImage(const std::string& path, long long limit, std::string& bytes, std::string& error) {
    if (path.rfind(":/", 0) != 0) {
        return ReadWholeFile(path, limit, bytes, error);
    }
    const QByteArray item = OpenItem(path.c_str())->readAll();
    bytes.assign(item.constData(), size_t(item.size()));
    return true;
}

Firmware LoadFirmware(const char* path) {
    return FirmwareFromImage(ReadItem(path, FileLimits::kFirmwareImage), path);
}

bool InfoBlock(std::string_view image, VersionInfo& info) {
    if (image.size() < size_t(kInfoOffset) + sizeof(VersionInfo)) {
        return false;
    }
    std::memcpy(&info, image.data() + kInfoOffset, sizeof(VersionInfo));
    // The fields are NUL-terminated within their widths, whatever the image holds.
    info.type[sizeof info.type - 1] = '\0';
    info.version[sizeof info.version - 1] = '\0';
    info.extra[sizeof info.extra - 1] = '\0';
    return true;
}

Firmware FirmwareFromImage(const std::string& image, const char* path) {
    Firmware firmware;
    if (!InfoBlock(image, firmware.info)) {
        throw std::runtime_error(
            WithArguments(K57_TR("EmbeddedImages", "Образ прошивки слишком короткий: %1"), {path}));
    }
    firmware.size = int32_t(image.size());
    firmware.buffer.assign(kPrefix, 0xFF);
    firmware.buffer.insert(firmware.buffer.end(), image.begin(), image.end());
    return firmware;
}

int32_t SoundDataSize(const char* path) {
    return int32_t(OpenItem(path)->size() - 8);
}

SoundPackage::SoundPackage(const char* path) : file_(OpenItem(path)) {}

int SoundPackage::read(void* buffer, int n) {
    qint64 got = file_->read(static_cast<char*>(buffer), n);
    return got > 0 ? int(got) : 0;
}

void SoundPackage::seek(int64_t offset) {
    file_->seek(offset);
}

int64_t SoundPackage::size() const {
    return file_->size();
}

std::string Catalogue(const char* path) {
    return OpenItem(path)->readAll().toStdString();
}

int CompareVersions(const char* a, const char* b) {
    const auto* x = reinterpret_cast<const unsigned char*>(a);
    const auto* y = reinterpret_cast<const unsigned char*>(b);
    while (*x && *x == *y) {
        ++x;
        ++y;
    }
    return int(*x) - int(*y);
}

}  // namespace k57::images
