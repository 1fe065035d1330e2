#pragma once

#include <string>
#include <string_view>

#include "PackageKeys.h"
#include "PackageManifest.h"

// A signed update package (.k57pkg): a fixed header, the manifest, the
// image. The header holds the magic, the format, both lengths, the signing
// key's id and the Ed25519 signature of the manifest's bytes. Every length
// is bounded before anything is taken from the file.
// docs/dev/package-format.md.
namespace k57::package {

constexpr char kMagic[] = "K57PKG";  // six bytes, no NUL
constexpr uint16_t kFormat = 1;
constexpr size_t kHeaderBytes = 6 + 2 + 4 + 4 + kKeyIdBytes + kSignatureBytes;
constexpr size_t kMaxPackage = kHeaderBytes + kMaxManifest + kMaxImage;

// Why a file is not a package that can be checked at all.
enum class Layout {
    Good,
    Empty,           // no byte, or no manifest or image in it
    Truncated,       // shorter than its header or than its lengths say
    Oversized,       // a length beyond its bound
    NotAPackage,     // no magic
    UnknownFormat,   // a format this program does not read
    TrailingBytes,   // more bytes than its lengths say
};

struct Package {
    KeyId keyId{};
    Signature signature{};
    std::string manifestBytes;  // as signed; read only once the signature holds
    std::string image;
};

// The file's bytes taken apart; `detail` says what was wrong, in English.
Layout Split(std::string_view file, Package& package, std::string& detail);

// A package of `image` with the manifest's other fields, its size and hash
// filled in here and signed with `key`; false with what the fields lack
// (ManifestProblem).
bool Make(Manifest manifest, std::string_view image, const SecretKey& key, std::string& package,
          std::string& problem);

}  // namespace k57::package
