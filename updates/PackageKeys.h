#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The keys that sign update packages, and what is done with them: Ed25519
// signatures and SHA-256 hashes, all through libsodium. Key files are one
// text line each, so a publisher can read them and a workshop can check the
// id a package names against the file it was given.
namespace k57::package {

constexpr size_t kKeyIdBytes = 8;
constexpr size_t kSignatureBytes = 64;

using KeyId = std::array<uint8_t, kKeyIdBytes>;
using Signature = std::array<uint8_t, kSignatureBytes>;

struct PublicKey {
    std::array<uint8_t, 32> bytes{};
    // The first 8 bytes of the SHA-256 of the key: what a package names.
    KeyId Id() const;
};

struct SecretKey {
    std::array<uint8_t, 64> bytes{};  // libsodium's: the seed, then the public key
    PublicKey Public() const;
};

// False only when the library cannot start (no random source).
bool GenerateKeys(SecretKey& secret, PublicKey& key);

// "k57pkg-ed25519-public <64 hex digits>\n" and
// "k57pkg-ed25519-secret <128 hex digits>\n".
std::string PublicKeyText(const PublicKey& key);
std::string SecretKeyText(const SecretKey& key);
// A key file's text read back: its one line, a final LF allowed, nothing
// else. A secret key whose public half does not match its seed is refused.
bool ReadPublicKey(std::string_view text, PublicKey& key, std::string& problem);
bool ReadSecretKey(std::string_view text, SecretKey& key, std::string& problem);

std::string Hex(const uint8_t* bytes, size_t size);
template <size_t N>
std::string Hex(const std::array<uint8_t, N>& bytes) {
    return Hex(bytes.data(), N);
}
std::string Sha256Hex(std::string_view bytes);
// BLAKE2b with a 32-byte digest ("b2sum -l 256"): a whole package's name in
// the journal, at a third of SHA-256's cost, since the image is hashed too.
std::string Blake2bHex(std::string_view bytes);

Signature Sign(std::string_view message, const SecretKey& key);
bool SignatureHolds(std::string_view message, const Signature& signature, const PublicKey& key);

}  // namespace k57::package
