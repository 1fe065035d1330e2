#include "PackageKeys.h"

#include <sodium.h>

#include <stdexcept>

namespace k57::package {

namespace {

constexpr std::string_view kPublicTag = "k57pkg-ed25519-public ";
constexpr std::string_view kSecretTag = "k57pkg-ed25519-secret ";

// sodium_init is safe to call again and from any thread; a library that
// cannot start has no random source, which only key generation needs, but
// nothing is done without it.
void Start() {
    if (sodium_init() < 0) {
        throw std::runtime_error("libsodium cannot start");
    }
}

template <size_t N>
bool ReadKeyLine(std::string_view text, std::string_view tag, std::array<uint8_t, N>& bytes,
                 std::string& problem) {
    if (!text.empty() && text.back() == '\n') {
        text.remove_suffix(1);
    }
    if (!text.empty() && text.back() == '\r') {
        text.remove_suffix(1);
    }
    if (text.substr(0, tag.size()) != tag) {
        problem = "not a key file (it does not start with \"" + std::string(tag) + "\")";
        return false;
    }
    std::string_view hex = text.substr(tag.size());
    size_t length = 0;
    const char* end = nullptr;
    if (hex.size() != 2 * N ||
        sodium_hex2bin(bytes.data(), N, hex.data(), hex.size(), nullptr, &length, &end) != 0 ||
        length != N || end != hex.data() + hex.size()) {
        problem = "the key is not " + std::to_string(2 * N) + " hexadecimal digits";
        return false;
    }
    return true;
}

}  // namespace

KeyId PublicKey::Id() const {
    Start();
    std::array<uint8_t, crypto_hash_sha256_BYTES> hash{};
    crypto_hash_sha256(hash.data(), bytes.data(), bytes.size());
    KeyId id{};
    std::copy(hash.begin(), hash.begin() + id.size(), id.begin());
    return id;
}

PublicKey SecretKey::Public() const {
    PublicKey key;
    crypto_sign_ed25519_sk_to_pk(key.bytes.data(), bytes.data());
    return key;
}

bool GenerateKeys(SecretKey& secret, PublicKey& key) {
    if (sodium_init() < 0) {
        return false;
    }
    return crypto_sign_keypair(key.bytes.data(), secret.bytes.data()) == 0;
}

std::string PublicKeyText(const PublicKey& key) {
    return std::string(kPublicTag) + Hex(key.bytes) + "\n";
}

std::string SecretKeyText(const SecretKey& key) {
    return std::string(kSecretTag) + Hex(key.bytes) + "\n";
}

bool ReadPublicKey(std::string_view text, PublicKey& key, std::string& problem) {
    return ReadKeyLine(text, kPublicTag, key.bytes, problem);
}

bool ReadSecretKey(std::string_view text, SecretKey& key, std::string& problem) {
    if (!ReadKeyLine(text, kSecretTag, key.bytes, problem)) {
        return false;
    }
    Start();
    std::array<uint8_t, 32> fromSeed{};
    std::array<uint8_t, 64> unused{};
    crypto_sign_seed_keypair(fromSeed.data(), unused.data(), key.bytes.data());
    sodium_memzero(unused.data(), unused.size());
    if (fromSeed != key.Public().bytes) {
        problem = "the key's public half does not belong to its secret half";
        return false;
    }
    return true;
}

std::string Hex(const uint8_t* bytes, size_t size) {
    std::string text(2 * size + 1, '\0');
    sodium_bin2hex(text.data(), text.size(), bytes, size);
    text.pop_back();
    return text;
}

std::string Sha256Hex(std::string_view bytes) {
    Start();
    std::array<uint8_t, crypto_hash_sha256_BYTES> hash{};
    crypto_hash_sha256(hash.data(), reinterpret_cast<const unsigned char*>(bytes.data()),
                       bytes.size());
    return Hex(hash);
}

std::string Blake2bHex(std::string_view bytes) {
    Start();
    std::array<uint8_t, 32> hash{};
    crypto_generichash(hash.data(), hash.size(), reinterpret_cast<const unsigned char*>(bytes.data()),
                       bytes.size(), nullptr, 0);
    return Hex(hash);
}

Signature Sign(std::string_view message, const SecretKey& key) {
    Start();
    Signature signature{};
    crypto_sign_detached(signature.data(), nullptr,
                         reinterpret_cast<const unsigned char*>(message.data()), message.size(),
                         key.bytes.data());
    return signature;
}

bool SignatureHolds(std::string_view message, const Signature& signature, const PublicKey& key) {
    Start();
    return crypto_sign_verify_detached(signature.data(),
                                       reinterpret_cast<const unsigned char*>(message.data()),
                                       message.size(), key.bytes.data()) == 0;
}

}  // namespace k57::package
