// A package's check: one verdict for each way a file can be changed, made
// by another key or for another unit; and the keys a workshop trusts.

#include <gtest/gtest.h>

#include <fstream>

#include "PackageCheck.h"
#include "TempDir.h"
#include "TestPackages.h"

using namespace k57;
using V = PackageVerdict;

namespace {

class PackageCheckTest : public ::testing::Test {
  protected:
    PackageCheck Check(const std::string& file,
                       std::optional<package::Kind> kind = package::Kind::Firmware) {
        return CheckPackageBytes(file, kind, keys_);
    }
    // The byte at `at` of the manifest (0), the image (1) or the signature (2)
    // of `file` flipped.
    static std::string Flipped(std::string file, int part, size_t at) {
        const size_t manifestStart = package::kHeaderBytes;
        const size_t manifestSize = size_t(uint8_t(file[8])) | size_t(uint8_t(file[9])) << 8;
        const size_t offsets[] = {manifestStart + at, manifestStart + manifestSize + at,
                                  16 + package::kKeyIdBytes + at};
        file[offsets[part]] ^= 0x01;
        return file;
    }

    test::TempDir dir_;
    TrustedKeys keys_ = TrustedKeys::Load(dir_.path());  // the built-in key alone
};

TEST_F(PackageCheckTest, AGoodPackageIsGoodAndEveryChangedByteIsCaught) {
    const std::string good = test::FirmwarePackage("000.010");
    PackageCheck check = Check(good);
    ASSERT_EQ(check.verdict, V::Good) << check.detail;
    EXPECT_EQ(check.manifest.version, "000.010");
    EXPECT_EQ(check.image, test::FirmwareImage("000.010"));
    EXPECT_EQ(check.fileHash, package::Blake2bHex(good));

    // Every byte of the manifest is signed, the version's too.
    for (size_t at : {size_t(0), size_t(30), size_t(40)}) {
        EXPECT_EQ(Check(Flipped(good, 0, at)).verdict, V::BadSignature) << at;
    }
    PackageCheck image = Check(Flipped(good, 1, 1000));
    EXPECT_EQ(image.verdict, V::ImageChanged);
    EXPECT_TRUE(image.signedManifest);  // the manifest itself is the publisher's
    EXPECT_EQ(Check(Flipped(good, 2, 0)).verdict, V::BadSignature);
    EXPECT_EQ(Check(Flipped(good, 2, 63)).verdict, V::BadSignature);
    std::string keyId = good;
    keyId[16] ^= 1;
    EXPECT_EQ(Check(keyId).verdict, V::UnknownKey);
}

TEST_F(PackageCheckTest, ForeignKeysKindsProductsAndImagesAreRefused) {
    package::SecretKey stranger;
    package::PublicKey strangerPublic;
    ASSERT_TRUE(package::GenerateKeys(stranger, strangerPublic));
    const std::string image = test::FirmwareImage("000.010");
    PackageCheck foreign =
        Check(test::MakePackage(test::FirmwareManifest("000.010"), image, stranger));
    EXPECT_EQ(foreign.verdict, V::UnknownKey);
    EXPECT_NE(foreign.detail.find(package::Hex(strangerPublic.Id())), std::string::npos);

    EXPECT_EQ(Check(test::FirmwarePackage("000.010"), package::Kind::Sound).verdict, V::WrongKind);
    package::Manifest other = test::FirmwareManifest("000.010");
    other.product = "K99";
    EXPECT_EQ(Check(test::MakePackage(other, image)).verdict, V::WrongProduct);
    // The manifest says 000.011, the firmware's own block 000.010.
    EXPECT_EQ(Check(test::MakePackage(test::FirmwareManifest("000.011"), image)).verdict,
              V::ImageVersionMismatch);
    EXPECT_EQ(Check(test::MakePackage(test::FirmwareManifest("000.010"), "short")).verdict,
              V::ImageVersionMismatch);
    // Sound data is the unit's own format: its header holds the data's size
    // and checksum, and a signed package whose header disagrees is no use.
    package::Manifest sound = test::FirmwareManifest("2026.1");
    sound.kind = package::Kind::Sound;
    std::string soundData("\x04\0\0\0\0\0\0\0abcd", 12);
    EXPECT_EQ(Check(test::MakePackage(sound, soundData), package::Kind::Sound).verdict,
              V::NotSoundData);

    // Once the folder holds the stranger's key, its packages are good.
    std::ofstream(dir_.path() + "/stranger.pub") << package::PublicKeyText(strangerPublic);
    std::ofstream(dir_.path() + "/notes.txt") << "not a key";
    std::ofstream(dir_.path() + "/broken.pub") << "k57pkg-ed25519-public 12\n";
    TrustedKeys keys = TrustedKeys::Load(dir_.path());
    EXPECT_EQ(
        CheckPackageBytes(test::MakePackage(test::FirmwareManifest("000.010"), image, stranger),
                          package::Kind::Firmware, keys)
            .verdict,
        V::Good);
    ASSERT_EQ(keys.problems().size(), 1u);
    EXPECT_NE(keys.problems()[0].find("broken.pub"), std::string::npos);
    // The window names the signer by where its key came from.
    EXPECT_EQ(keys.Source(strangerPublic.Id()), "stranger.pub");
    EXPECT_EQ(keys.Source(test::TestSecretKey().Public().Id()), "");
}

TEST_F(PackageCheckTest, TheUnitsVersionDecidesDowngradesAndTheLowest) {
    auto against = [&](const std::string& unit, bool allow, const std::string& lowest = {}) {
        PackageCheck check = Check(test::FirmwarePackage("000.010", lowest));
        CheckAgainstUnit(check, unit, allow);
        return check.verdict;
    };
    EXPECT_EQ(against("000.008", false), V::Good);
    EXPECT_EQ(against("000.010", false), V::Good);  // the same: the update's own --force
    EXPECT_EQ(against("000.011", false), V::OlderThanUnit);
    EXPECT_EQ(against("000.011", true), V::Good);
    EXPECT_EQ(against("000.004", false, "000.005"), V::BelowLowest);
    EXPECT_EQ(against("000.004", true, "000.005"), V::BelowLowest);
    EXPECT_EQ(against("000.005", false, "000.005"), V::Good);
}

TEST_F(PackageCheckTest, FilesTooLargeEmptyOrMissingAreRefusedBeforeTheyAreRead) {
    const std::string path = dir_.path() + "/p.k57pkg";
    std::ofstream(path, std::ios::binary).close();
    EXPECT_EQ(CheckPackageFile(path, std::nullopt, keys_).verdict, V::Empty);
    std::ofstream(path, std::ios::binary).seekp(std::streamoff(package::kMaxPackage)) << 'x';
    EXPECT_EQ(CheckPackageFile(path, std::nullopt, keys_).verdict, V::Oversized);
    EXPECT_EQ(CheckPackageFile(path + ".none", std::nullopt, keys_).verdict, V::Unreadable);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << test::FirmwarePackage("000.010");
    EXPECT_EQ(CheckPackageFile(path, package::Kind::Firmware, keys_).verdict, V::Good);
}

}  // namespace
