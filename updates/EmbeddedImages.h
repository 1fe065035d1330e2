#pragma once

#include <QFile>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "VersionInfo.h"

// The update payloads the program carries. A missing payload is an error of
// the program itself; these functions throw std::runtime_error for it.
namespace k57::images {

// Resource paths of the embedded items.
extern const char kFirmwarePath[];
extern const char kSoundPath[];
extern const char kCataloguePath[];

// The firmware as it is sent: eight 0xFF bytes, then the image. Its
// information block lies at image offset 256.
struct Firmware {
    std::vector<uint8_t> buffer;
    int32_t size = 0;  // the image alone, without the prefix
    VersionInfo info{};
};

// An embedded item (":/...") or a file given instead of one, read whole when
// it is a regular file of at most `limit` bytes; false with the reason.
bool ReadImage(const std::string& path, long long limit, std::string& bytes, std::string& error);

Firmware LoadFirmware(const char* path = kFirmwarePath);
// The information block of a firmware image, its fields NUL-terminated
// within their widths; false when the image is too short to hold one.
bool InfoBlock(std::string_view image, VersionInfo& info);
// The firmware from its image's bytes (a package's); `name` for the error.
Firmware FirmwareFromImage(const std::string& image, const char* name);

// The sound package: data size L and data checksum, then L bytes of data.
// Its size minus the 8-byte header, taken from the item's size.
int32_t SoundDataSize(const char* path = kSoundPath);

// A reader over the sound package, positioned at its start.
class SoundPackage {
  public:
    explicit SoundPackage(const char* path = kSoundPath);
    // Up to `n` bytes; 0 at the end.
    int read(void* buffer, int n);
    void seek(int64_t offset);
    int64_t size() const;

  private:
    std::unique_ptr<QFile> file_;
};

// The whole catalogue document.
std::string Catalogue(const char* path = kCataloguePath);

// Byte-wise comparison of two version texts: negative, zero or positive.
// Lexical: "000.010" is newer than "000.009", but "10.0" older than "9.1".
int CompareVersions(const char* a, const char* b);

}  // namespace k57::images
