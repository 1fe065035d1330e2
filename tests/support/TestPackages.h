#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "EmbeddedImages.h"
#include "Package.h"

// Packages made in the tests, signed with the project's test key
// (tests/data/k57-test.secret, K57_TEST_SECRET_KEY), which every build
// trusts unless K57_BUILTIN_PUBLIC_KEY names another.
namespace k57::test {

inline package::SecretKey TestSecretKey() {
    std::ifstream in(K57_TEST_SECRET_KEY, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    package::SecretKey key;
    std::string problem;
    EXPECT_TRUE(package::ReadSecretKey(text.str(), key, problem)) << problem;
    return key;
}

// The embedded firmware image with `version` in its information block,
// padded with 0xFF to `size` bytes when that is larger.
inline std::string FirmwareImage(const std::string& version, size_t size = 0) {
    std::vector<uint8_t> buffer = images::LoadFirmware().buffer;
    std::string image(buffer.begin() + 8, buffer.end());
    char* field = image.data() + 256 + offsetof(VersionInfo, version);
    std::memset(field, 0, sizeof(VersionInfo::version));
    std::memcpy(field, version.data(), version.size());
    if (image.size() < size) {
        image.append(size - image.size(), '\xFF');
    }
    return image;
}

inline package::Manifest FirmwareManifest(const std::string& version,
                                          const std::string& lowest = {}) {
    package::Manifest manifest;
    manifest.kind = package::Kind::Firmware;
    manifest.version = version;
    manifest.lowest = lowest;
    manifest.created = "2026-12-09T07:00:00Z";
    manifest.notesRu = "Исправлена работа с CAN";
    manifest.notesEn = "CAN handling fixed";
    return manifest;
}

inline std::string MakePackage(const package::Manifest& manifest, const std::string& image,
                               const package::SecretKey& key = TestSecretKey()) {
    std::string bytes, problem;
    EXPECT_TRUE(package::Make(manifest, image, key, bytes, problem)) << problem;
    return bytes;
}

// A firmware package of the test key whose image says `version`.
inline std::string FirmwarePackage(const std::string& version, const std::string& lowest = {}) {
    return MakePackage(FirmwareManifest(version, lowest), FirmwareImage(version));
}

}  // namespace k57::test
