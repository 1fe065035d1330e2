#pragma once

#include <optional>
#include <string>

#include "Package.h"
#include "TrustedKeys.h"

namespace k57 {

// What a package's check came to: good, or the one reason it is refused.
// Nothing of a refused package goes to a unit.
enum class PackageVerdict {
    Good,
    Unreadable,            // the file cannot be read
    Empty,                 // no byte, or no manifest or image
    Truncated,             // ends before its lengths say
    Oversized,             // a length beyond its bound, or a file too large to be one
    NotAPackage,           // no magic
    UnknownFormat,         // a newer format
    TrailingBytes,         // bytes after the image
    UnknownKey,            // signed by a key not trusted here
    BadSignature,          // the signature does not hold: the manifest or it was changed
    BadManifest,           // signed, but not a manifest this program reads
    ImageChanged,          // the image's size or hash is not the manifest's
    WrongKind,             // firmware where sound is wanted, or the other way
    WrongProduct,          // made for another product
    ImageVersionMismatch,  // the firmware's own information block says another version
    NotSoundData,          // sound data whose own header does not match it
    OlderThanUnit,         // the unit has a newer firmware (--allow-downgrade)
    BelowLowest,           // the unit's firmware is older than the package may replace
};

// "bad-signature" and the like: the verdict in JSON and in the journal.
const char* VerdictName(PackageVerdict verdict);

struct PackageCheck {
    PackageVerdict verdict = PackageVerdict::Unreadable;
    std::string detail;     // why, in English, when refused
    std::string fileHash;   // the whole file's BLAKE2b-256, once read
    bool keyNamed = false;  // the header was read: keyId holds the signer's id
    package::KeyId keyId{};
    bool signedManifest = false;  // the signature holds: manifest is the publisher's
    package::Manifest manifest;
    std::string image;
    bool good() const { return verdict == PackageVerdict::Good; }
};

// The package at `path` checked on its own: layout, key, signature, the
// image against the manifest, its kind (when one is wanted), its product,
// and a firmware image's own version. Reads at most package::kMaxPackage
// bytes of it.
PackageCheck CheckPackageFile(const std::string& path, std::optional<package::Kind> kind,
                              const TrustedKeys& keys);
PackageCheck CheckPackageBytes(std::string_view file, std::optional<package::Kind> kind,
                               const TrustedKeys& keys);

// Whether the image is what the manifest says by its own marks: a firmware
// image's information block holds the manifest's version, sound data's
// header its size and checksum. False with the reason.
bool ImageMatchesManifest(const package::Manifest& manifest, const std::string& image,
                          std::string& detail);

// A good firmware package against the firmware the unit reports: refused
// when older (unless `allowDowngrade`) or when the unit's is below the
// manifest's lowest.
void CheckAgainstUnit(PackageCheck& check, const std::string& unitVersion, bool allowDowngrade);

// What the journal keeps of a package: "package blake2b-256 …, version
// 000.010, key 1a2b…" (the version and key once they are known).
std::string PackageJournalDetail(const PackageCheck& check);
// A refusal's entry: "package refused (bad-signature): why; " and the above.
std::string PackageRefusalDetail(const PackageCheck& check);

}  // namespace k57
