// package keygen, make and verify: the publisher's side of the signed
// update packages, and the check a workshop can run on one before it
// reaches a unit.

#include "PackageCommands.h"

#include <CLI/CLI.hpp>
#include <QJsonObject>
#include <QString>
#include <filesystem>

#include "Commands.h"
#include "ExitCodes.h"
#include "FileRead.h"
#include "PackageCheck.h"
#include "PrivateFiles.h"
#include "SafeSave.h"

namespace k57::ctl {

namespace {

constexpr long long kKeyFileLimit = 4096;

bool Exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::u8path(path), error) || error;
}

int Keygen(const PackageCommandLine& line) {
    for (const std::string& path : {line.secretFile, line.publicFile}) {
        if (Exists(path)) {
            return Fail(path + ": exists; a key file is never overwritten", kBadInput);
        }
    }
    package::SecretKey secret;
    package::PublicKey key;
    if (!package::GenerateKeys(secret, key)) {
        return Fail("no random source for a key", kBadInput);
    }
    std::string error;
    if (!SafeSave(line.secretFile, package::SecretKeyText(secret), error, SaveAccess::Private) ||
        !privatefiles::MakePrivate(line.secretFile)) {
        return Fail(line.secretFile + ": " + (error.empty() ? "cannot be made private" : error),
                    kNoJournal);
    }
    if (!SafeSave(line.publicFile, package::PublicKeyText(key), error, SaveAccess::Shared)) {
        // A secret key without its public half would sign packages no one
        // could be given the key of: neither is kept.
        std::error_code ignored;
        std::filesystem::remove(std::filesystem::u8path(line.secretFile), ignored);
        return Fail(line.publicFile + ": " + error, kNoJournal);
    }
    std::printf("key id %s\n", package::Hex(key.Id()).c_str());
    return kDone;
}

int Make(const PackageCommandLine& line) {
    std::string keyText, image, error;
    package::SecretKey key;
    if (!ReadWholeFile(line.secretFile, kKeyFileLimit, keyText, error) ||
        !package::ReadSecretKey(keyText, key, error)) {
        return Fail(line.secretFile + ": " + error, kBadInput);
    }
    if (!ReadWholeFile(line.imageFile, package::kMaxImage, image, error)) {
        return ReadFailed(line.imageFile, error);
    }
    package::Manifest manifest;
    manifest.kind = line.kind == "sound" ? package::Kind::Sound : package::Kind::Firmware;
    manifest.version = line.version;
    manifest.lowest = line.lowest;
    manifest.created = package::UtcNow();
    manifest.notesRu = line.notesRu;
    manifest.notesEn = line.notesEn;
    std::string bytes;
    // A firmware image whose own version is not the one given would be
    // refused by every installer: it is refused here, before it is signed.
    if (!package::Make(manifest, image, key, bytes, error) ||
        !ImageMatchesManifest(manifest, image, error)) {
        return Fail("no package made: " + error, kBadInput);
    }
    if (!SafeSave(line.output, bytes, error, SaveAccess::Shared)) {
        return Fail(line.output + ": " + error, kNoJournal);
    }
    std::printf("%s: %s %s, %zu bytes, key id %s\n", line.output.c_str(), line.kind.c_str(),
                line.version.c_str(), image.size(), package::Hex(key.Public().Id()).c_str());
    return kDone;
}

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

int Verify(const Context& context, const PackageCommandLine& line) {
    TrustedKeys keys = TrustedKeys::Load();
    for (const std::string& problem : keys.problems()) {
        std::fprintf(stderr, "k57ctl: a trusted key passed over: %s\n", problem.c_str());
    }
    PackageCheck check = CheckPackageFile(line.packageFile, std::nullopt, keys);
    const package::Manifest& m = check.manifest;
    if (context.json) {
        QJsonObject object{{"file", Q(line.packageFile)},
                           {"verdict", VerdictName(check.verdict)},
                           {"blake2b_256", Q(check.fileHash)}};
        if (check.keyNamed) {
            object["key_id"] = Q(package::Hex(check.keyId));
        }
        if (!check.good()) {
            object["reason"] = Q(check.detail);
        }
        if (check.signedManifest) {
            object["manifest"] =
                QJsonObject{{"kind", package::KindName(m.kind)}, {"product", Q(m.product)},
                            {"version", Q(m.version)},           {"lowest", Q(m.lowest)},
                            {"image_size", qint64(m.imageSize)}, {"image_sha256", Q(m.imageSha256)},
                            {"created", Q(m.created)},           {"notes_ru", Q(m.notesRu)},
                            {"notes_en", Q(m.notesEn)}};
        }
        PrintJson(object);
    } else {
        if (check.signedManifest) {
            std::printf(
                "kind: %s\nproduct: %s\nversion: %s\nlowest: %s\nimage: %u bytes, "
                "sha256 %s\ncreated: %s\nnotes (ru): %s\nnotes (en): %s\n",
                package::KindName(m.kind), m.product.c_str(), m.version.c_str(),
                m.lowest.empty() ? "any" : m.lowest.c_str(), m.imageSize, m.imageSha256.c_str(),
                m.created.c_str(), m.notesRu.c_str(), m.notesEn.c_str());
        }
        if (check.keyNamed) {
            std::printf("key id: %s\n", package::Hex(check.keyId).c_str());
        }
        std::printf("verdict: %s\n", VerdictName(check.verdict));
    }
    if (!check.good()) {
        return Fail(line.packageFile + ": refused: " + check.detail, kPackageRefused);
    }
    return kDone;
}

}  // namespace

void AddPackageCommands(CLI::App& app, PackageCommandLine& line) {
    auto* package = app.add_subcommand(
        "package", "signed update packages: keys, making one, verifying one (no unit)");
    package->require_subcommand(1);
    line.keygen = package->add_subcommand(
        "keygen", "a new signing key: the secret file (private) and the public .pub file");
    line.keygen->add_option("--secret", line.secretFile, "the secret key's file (made 0600)")
        ->required();
    line.keygen->add_option("--public", line.publicFile, "the public key's file (.pub)")
        ->required();
    line.make = package->add_subcommand("make", "sign an image into a .k57pkg package");
    line.make->add_option("--kind", line.kind, "firmware or sound")
        ->required()
        ->check(CLI::IsMember({"firmware", "sound"}));
    line.make->add_option("--image", line.imageFile, "the image (up to 8 MB)")->required();
    line.make->add_option("--version", line.version, "as the unit reports it: 000.010")->required();
    line.make->add_option("--lowest", line.lowest, "the oldest version it may replace");
    line.make->add_option("--notes-ru", line.notesRu, "what changed, in Russian (one line)");
    line.make->add_option("--notes-en", line.notesEn, "what changed, in English (one line)");
    line.make->add_option("--secret", line.secretFile, "the secret key's file")->required();
    line.make->add_option("-o,--output", line.output, "the package file to write")->required();
    line.verify = package->add_subcommand(
        "verify",
        "check PKG against the trusted keys: manifest, key id, verdict (exit 7: refused)");
    line.verify->add_option("PKG", line.packageFile, "the package file")->required();
}

int RunPackageCommand(Context& context, const PackageCommandLine& line) {
    if (*line.keygen)
        return Keygen(line);
    if (*line.make)
        return Make(line);
    if (*line.verify)
        return Verify(context, line);
    return -1;
}

}  // namespace k57::ctl
