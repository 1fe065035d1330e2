// The package's layout and manifest taken apart as a stranger's file would
// be: every length bounded, every refusal with its own reason; and the keys'
// files read back.

#include <gtest/gtest.h>

#include "Package.h"
#include "TestPackages.h"

using namespace k57;
using package::Layout;

namespace {

Layout SplitOf(const std::string& file, std::string& detail) {
    package::Package parts;
    return package::Split(file, parts, detail);
}

void PutLength(std::string& file, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        file[at + size_t(i)] = char(value >> (8 * i) & 0xFF);
    }
}

TEST(PackageLayout, AGoodPackageSplitsIntoWhatWasSigned) {
    const std::string image = test::FirmwareImage("000.010");
    const std::string file = test::MakePackage(test::FirmwareManifest("000.010"), image);
    package::Package parts;
    std::string detail;
    ASSERT_EQ(package::Split(file, parts, detail), Layout::Good) << detail;
    EXPECT_EQ(parts.image, image);
    EXPECT_EQ(parts.keyId, test::TestSecretKey().Public().Id());
    EXPECT_TRUE(package::SignatureHolds(parts.manifestBytes, parts.signature,
                                        test::TestSecretKey().Public()));
    package::Manifest manifest;
    ASSERT_TRUE(package::ReadManifest(parts.manifestBytes, manifest, detail)) << detail;
    EXPECT_EQ(manifest.version, "000.010");
    EXPECT_EQ(manifest.imageSize, image.size());
    EXPECT_EQ(manifest.imageSha256, package::Sha256Hex(image));
    EXPECT_EQ(manifest.notesRu, "Исправлена работа с CAN");
}

TEST(PackageLayout, EachMalformedFileHasItsOwnReason) {
    const std::string good = test::FirmwarePackage("000.010");
    std::string detail;
    EXPECT_EQ(SplitOf("", detail), Layout::Empty);
    EXPECT_EQ(SplitOf("MZ\x90", detail), Layout::NotAPackage);
    EXPECT_EQ(SplitOf("K57", detail), Layout::Truncated);  // the magic's start
    EXPECT_EQ(SplitOf(good.substr(0, package::kHeaderBytes - 1), detail), Layout::Truncated);
    EXPECT_EQ(SplitOf(good.substr(0, good.size() - 1), detail), Layout::Truncated);
    EXPECT_NE(detail.find("ends early"), std::string::npos) << detail;
    EXPECT_EQ(SplitOf(good + "x", detail), Layout::TrailingBytes);

    std::string format = good;
    format[6] = 2;
    EXPECT_EQ(SplitOf(format, detail), Layout::UnknownFormat);

    // Lengths beyond their bounds are refused on the header alone.
    std::string manifest = good;
    PutLength(manifest, 8, package::kMaxManifest + 1);
    EXPECT_EQ(SplitOf(manifest, detail), Layout::Oversized);
    std::string image = good;
    PutLength(image, 12, 0xFFFFFFFFu);
    EXPECT_EQ(SplitOf(image, detail), Layout::Oversized);
    PutLength(image, 12, 0);
    EXPECT_EQ(SplitOf(image, detail), Layout::Empty);
}

TEST(PackageManifest, OnlyTheExactLinesAreRead) {
    package::Manifest manifest = test::FirmwareManifest("000.010", "000.005");
    manifest.imageSize = 100;
    manifest.imageSha256 = std::string(64, 'a');
    const std::string text = package::ManifestText(manifest);
    package::Manifest read;
    std::string problem;
    ASSERT_TRUE(package::ReadManifest(text, read, problem)) << problem;
    EXPECT_EQ(read.lowest, "000.005");
    EXPECT_EQ(package::ManifestText(read), text);

    auto refused = [&](std::string changed) {
        package::Manifest m;
        std::string why;
        return !package::ReadManifest(changed, m, why) && !why.empty();
    };
    EXPECT_TRUE(refused(text.substr(0, text.size() - 1)));  // no final LF
    EXPECT_TRUE(refused(text + "extra=1\n"));
    EXPECT_TRUE(refused("kind=firmware\n" + text));
    std::string kind = text;
    kind.replace(kind.find("firmware"), 8, "bootload");
    EXPECT_TRUE(refused(kind));
    std::string size = text;
    size.replace(size.find("image-size=100"), 14, "image-size=0100");
    EXPECT_TRUE(refused(size));
    std::string time = text;
    time.replace(time.find("T07:00"), 1, " ");
    EXPECT_TRUE(refused(time));

    manifest.notesEn = "two\nlines";
    EXPECT_FALSE(package::ManifestProblem(manifest).empty());
    manifest.notesEn = std::string("\xD0", 1);  // a cut UTF-8 sequence
    EXPECT_FALSE(package::ManifestProblem(manifest).empty());
    manifest.notesEn = "ok";
    manifest.version = "000 010";
    EXPECT_FALSE(package::ManifestProblem(manifest).empty());
}

TEST(PackageKeys, KeyFilesReadBackAndAForeignHalfIsRefused) {
    package::SecretKey secret;
    package::PublicKey key;
    ASSERT_TRUE(package::GenerateKeys(secret, key));
    package::SecretKey secretRead;
    package::PublicKey keyRead;
    std::string problem;
    ASSERT_TRUE(package::ReadSecretKey(package::SecretKeyText(secret), secretRead, problem));
    ASSERT_TRUE(package::ReadPublicKey(package::PublicKeyText(key), keyRead, problem));
    EXPECT_EQ(keyRead.bytes, key.bytes);
    EXPECT_EQ(secretRead.Public().bytes, key.bytes);
    EXPECT_EQ(package::Hex(key.Id()).size(), 16u);

    std::string text = package::SecretKeyText(secret);
    text[text.size() - 2] = text[text.size() - 2] == '0' ? '1' : '0';  // the public half
    EXPECT_FALSE(package::ReadSecretKey(text, secretRead, problem));
    EXPECT_FALSE(package::ReadPublicKey(package::SecretKeyText(secret), keyRead, problem));
    EXPECT_FALSE(package::ReadPublicKey(package::PublicKeyText(key) + "more\n", keyRead, problem));
}

}  // namespace
