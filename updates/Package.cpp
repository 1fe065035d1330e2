#include "Package.h"

#include <algorithm>
#include <cstring>

namespace k57::package {

namespace {

constexpr size_t kMagicBytes = 6;

uint32_t Little(std::string_view bytes, size_t at, size_t width) {
    uint32_t value = 0;
    for (size_t i = width; i-- > 0;) {
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

void PutLittle(std::string& out, uint32_t value, size_t width) {
    for (size_t i = 0; i < width; ++i) {
        out += char(value >> (8 * i) & 0xFF);
    }
}

}  // namespace

Layout Split(std::string_view file, Package& package, std::string& detail) {
    if (file.empty()) {
        detail = "the file is empty";
        return Layout::Empty;
    }
    std::string_view magic(kMagic, kMagicBytes);
    if (file.substr(0, kMagicBytes) != magic.substr(0, std::min(file.size(), kMagicBytes))) {
        detail = "not an update package (it does not start with K57PKG)";
        return Layout::NotAPackage;
    }
    if (file.size() < kHeaderBytes) {
        detail = "the file ends within its header (" + std::to_string(file.size()) + " of " +
                 std::to_string(kHeaderBytes) + " bytes)";
        return Layout::Truncated;
    }
    uint32_t format = Little(file, 6, 2);
    if (format != kFormat) {
        detail = "the package's format " + std::to_string(format) + " is not known (only " +
                 std::to_string(kFormat) + ")";
        return Layout::UnknownFormat;
    }
    uint32_t manifestSize = Little(file, 8, 4);
    uint32_t imageSize = Little(file, 12, 4);
    if (manifestSize > kMaxManifest || imageSize > kMaxImage) {
        detail = manifestSize > kMaxManifest
                     ? "its manifest would be " + std::to_string(manifestSize) +
                           " bytes, more than 16 KB"
                     : "its image would be " + std::to_string(imageSize) +
                           " bytes, more than 8 MB";
        return Layout::Oversized;
    }
    if (manifestSize == 0 || imageSize == 0) {
        detail = manifestSize == 0 ? "the package holds no manifest" : "the package holds no image";
        return Layout::Empty;
    }
    size_t whole = kHeaderBytes + manifestSize + imageSize;
    if (file.size() < whole) {
        detail = "the file ends early: " + std::to_string(file.size()) + " of " +
                 std::to_string(whole) + " bytes";
        return Layout::Truncated;
    }
    if (file.size() > whole) {
        detail = std::to_string(file.size() - whole) + " bytes follow the image";
        return Layout::TrailingBytes;
    }
    std::memcpy(package.keyId.data(), file.data() + 16, kKeyIdBytes);
    std::memcpy(package.signature.data(), file.data() + 16 + kKeyIdBytes, kSignatureBytes);
    package.manifestBytes.assign(file.substr(kHeaderBytes, manifestSize));
    package.image.assign(file.substr(kHeaderBytes + manifestSize));
    return Layout::Good;
}

bool Make(Manifest manifest, std::string_view image, const SecretKey& key, std::string& out,
          std::string& problem) {
    manifest.imageSize = uint32_t(std::min(image.size(), kMaxImage + 1));
    manifest.imageSha256 = Sha256Hex(image);
    problem = ManifestProblem(manifest);
    if (!problem.empty()) {
        return false;
    }
    const std::string text = ManifestText(manifest);
    const Signature signature = Sign(text, key);
    const KeyId id = key.Public().Id();
    out.assign(kMagic, kMagicBytes);
    PutLittle(out, kFormat, 2);
    PutLittle(out, uint32_t(text.size()), 4);
    PutLittle(out, uint32_t(image.size()), 4);
    out.append(reinterpret_cast<const char*>(id.data()), id.size());
    out.append(reinterpret_cast<const char*>(signature.data()), signature.size());
    out += text;
    out.append(image);
    return true;
}

}  // namespace k57::package
