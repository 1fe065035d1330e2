#include "PackageCheck.h"

#include "EmbeddedImages.h"
#include "FileRead.h"
#include "UpdateSources.h"

namespace k57 {

namespace {

PackageVerdict FromLayout(package::Layout layout) {
    switch (layout) {
        case package::Layout::Good:
            return PackageVerdict::Good;
        case package::Layout::Empty:
            return PackageVerdict::Empty;
        case package::Layout::Truncated:
            return PackageVerdict::Truncated;
        case package::Layout::Oversized:
            return PackageVerdict::Oversized;
        case package::Layout::NotAPackage:
            return PackageVerdict::NotAPackage;
        case package::Layout::UnknownFormat:
            return PackageVerdict::UnknownFormat;
        case package::Layout::TrailingBytes:
            return PackageVerdict::TrailingBytes;
    }
    return PackageVerdict::NotAPackage;
}

PackageCheck& Refuse(PackageCheck& check, PackageVerdict verdict, std::string detail) {
    check.verdict = verdict;
    check.detail = std::move(detail);
    return check;
}

}  // namespace

const char* VerdictName(PackageVerdict verdict) {
    switch (verdict) {
        case PackageVerdict::Good:
            return "good";
        case PackageVerdict::Unreadable:
            return "unreadable";
        case PackageVerdict::Empty:
            return "empty";
        case PackageVerdict::Truncated:
            return "truncated";
        case PackageVerdict::Oversized:
            return "oversized";
        case PackageVerdict::NotAPackage:
            return "not-a-package";
        case PackageVerdict::UnknownFormat:
            return "unknown-format";
        case PackageVerdict::TrailingBytes:
            return "trailing-bytes";
        case PackageVerdict::UnknownKey:
            return "unknown-key";
        case PackageVerdict::BadSignature:
            return "bad-signature";
        case PackageVerdict::BadManifest:
            return "bad-manifest";
        case PackageVerdict::ImageChanged:
            return "image-changed";
        case PackageVerdict::WrongKind:
            return "wrong-kind";
        case PackageVerdict::WrongProduct:
            return "wrong-product";
        case PackageVerdict::ImageVersionMismatch:
            return "image-version-mismatch";
        case PackageVerdict::NotSoundData:
            return "not-sound-data";
        case PackageVerdict::OlderThanUnit:
            return "older-than-unit";
        case PackageVerdict::BelowLowest:
            return "below-lowest";
    }
    return "unknown";
}

PackageCheck CheckPackageFile(const std::string& path, std::optional<package::Kind> kind,
                              const TrustedKeys& keys) {
    std::string bytes, error;
    ReadProblem problem = ReadProblem::None;
    if (!ReadWholeFile(path, package::kMaxPackage, bytes, problem, error)) {
        PackageCheck check;
        return Refuse(check,
                      problem == ReadProblem::TooLarge ? PackageVerdict::Oversized
                                                       : PackageVerdict::Unreadable,
                      error);
    }
    return CheckPackageBytes(bytes, kind, keys);
}

// The signature is checked before the manifest is read: nothing a stranger
// wrote is parsed beyond the fixed header.
PackageCheck CheckPackageBytes(std::string_view file, std::optional<package::Kind> kind,
                               const TrustedKeys& keys) {
    PackageCheck check;
    check.fileHash = package::Blake2bHex(file);
    package::Package parts;
    std::string detail;
    package::Layout layout = package::Split(file, parts, detail);
    if (layout != package::Layout::Good) {
        return Refuse(check, FromLayout(layout), detail);
    }
    check.keyNamed = true;
    check.keyId = parts.keyId;
    const package::PublicKey* key = keys.Find(parts.keyId);
    if (!key) {
        return Refuse(check, PackageVerdict::UnknownKey,
                      "signed with key " + package::Hex(parts.keyId) +
                          ", which is not trusted here (" + keys.folder() + ")");
    }
    if (!package::SignatureHolds(parts.manifestBytes, parts.signature, *key)) {
        return Refuse(check, PackageVerdict::BadSignature,
                      "the signature does not hold: the manifest or the signature was changed "
                      "after signing");
    }
    check.signedManifest = true;
    if (!package::ReadManifest(parts.manifestBytes, check.manifest, detail)) {
        check.signedManifest = false;
        return Refuse(check, PackageVerdict::BadManifest, detail);
    }
    const package::Manifest& m = check.manifest;
    if (parts.image.size() != m.imageSize || package::Sha256Hex(parts.image) != m.imageSha256) {
        return Refuse(check, PackageVerdict::ImageChanged,
                      "the image is not the one signed: its size or SHA-256 differs from the "
                      "manifest's");
    }
    if (kind && m.kind != *kind) {
        return Refuse(check, PackageVerdict::WrongKind,
                      std::string("a ") + package::KindName(m.kind) + " package, not " +
                          package::KindName(*kind));
    }
    if (m.product != package::kProduct) {
        return Refuse(check, PackageVerdict::WrongProduct,
                      "made for " + m.product + ", not " + package::kProduct);
    }
    if (!ImageMatchesManifest(m, parts.image, detail)) {
        return Refuse(check,
                      m.kind == package::Kind::Sound ? PackageVerdict::NotSoundData
                                                     : PackageVerdict::ImageVersionMismatch,
                      detail);
    }
    check.image = std::move(parts.image);
    check.verdict = PackageVerdict::Good;
    return check;
}

bool ImageMatchesManifest(const package::Manifest& manifest, const std::string& image,
                          std::string& detail) {
    if (manifest.kind == package::Kind::Sound) {
        uint32_t size = 0;
        if (!SoundSource::HeaderMatches(image, size)) {
            detail =
                "the image is not sound data: its header's size and checksum do not match "
                "the data";
            return false;
        }
        return true;
    }
    VersionInfo info{};
    if (!images::InfoBlock(image, info)) {
        detail = "the image is not a firmware image (too short for its information block)";
        return false;
    }
    if (info.version != manifest.version) {
        detail = "the firmware image says version \"" + std::string(info.version) +
                 "\", the manifest " + manifest.version;
        return false;
    }
    return true;
}

void CheckAgainstUnit(PackageCheck& check, const std::string& unitVersion, bool allowDowngrade) {
    if (!check.good()) {
        return;
    }
    const package::Manifest& m = check.manifest;
    if (!m.lowest.empty() && images::CompareVersions(unitVersion.c_str(), m.lowest.c_str()) < 0) {
        Refuse(check, PackageVerdict::BelowLowest,
               "the unit has firmware " + unitVersion + ", older than " + m.lowest +
                   ", the oldest this package may replace");
    } else if (!allowDowngrade &&
               images::CompareVersions(m.version.c_str(), unitVersion.c_str()) < 0) {
        Refuse(check, PackageVerdict::OlderThanUnit,
               "the package's firmware " + m.version + " is older than the unit's " + unitVersion +
                   "; --allow-downgrade installs it anyway");
    }
}

std::string PackageJournalDetail(const PackageCheck& check) {
    std::string detail = "package blake2b-256 " + check.fileHash;
    if (check.signedManifest) {
        detail += ", version " + check.manifest.version;
    }
    if (check.keyNamed) {
        detail += ", key " + package::Hex(check.keyId);
    }
    return detail;
}

std::string PackageRefusalDetail(const PackageCheck& check) {
    return "package refused (" + std::string(VerdictName(check.verdict)) + "): " + check.detail +
           "; " + PackageJournalDetail(check);
}

}  // namespace k57
