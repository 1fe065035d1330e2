// Update packages come from the internet or a USB stick: the file's layout,
// the manifest and key files on any bytes. The first byte picks which.
// Two properties beyond "no crash": a manifest this program reads is
// written back byte for byte (the signature covers those bytes, so two
// readings of one text must not differ), and a package made from a
// manifest that passes is one the check accepts.

#include "Package.h"
#include "PackageCheck.h"
#include "TrustedKeys.h"

namespace {

using namespace k57;

const TrustedKeys& Keys() {
    static const TrustedKeys keys = TrustedKeys::Load(std::string());  // the built-in key
    return keys;
}

// A fixed key for the made packages: the fuzzer cannot find a signature.
const package::SecretKey& Signer() {
    static const package::SecretKey key = [] {
        package::SecretKey secret;
        package::PublicKey unused;
        package::GenerateKeys(secret, unused);
        return secret;
    }();
    return key;
}

void Made(std::string_view text) {
    package::Manifest manifest;
    std::string problem, file;
    const std::string image(300, 'x');
    if (!package::ReadManifest(text, manifest, problem) ||
        !package::Make(manifest, image, Signer(), file, problem)) {
        return;
    }
    manifest.imageSize = uint32_t(image.size());
    manifest.imageSha256 = package::Sha256Hex(image);
    package::Package parts;
    if (package::Split(file, parts, problem) != package::Layout::Good ||
        parts.manifestBytes != package::ManifestText(manifest)) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    switch (data[0] % 3) {
        case 0: {
            PackageCheck check = CheckPackageBytes(bytes, std::nullopt, Keys());
            (void)PackageRefusalDetail(check);
            CheckAgainstUnit(check, "000.008", false);
            break;
        }
        case 1: {
            package::Manifest manifest;
            std::string problem;
            if (package::ReadManifest(bytes, manifest, problem) &&
                package::ManifestText(manifest) != bytes) {
                __builtin_trap();
            }
            Made(bytes);
            break;
        }
        default: {
            package::PublicKey key;
            package::SecretKey secret;
            std::string problem;
            (void)package::ReadPublicKey(bytes, key, problem);
            (void)package::ReadSecretKey(bytes, secret, problem);
            break;
        }
    }
    return 0;
}
