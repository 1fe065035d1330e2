#include "TrustedKeys.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "FileRead.h"

namespace k57 {

namespace {

// A key file is one line; anything larger is not one.
constexpr long long kKeyFileLimit = 4096;

}  // namespace

TrustedKeys TrustedKeys::Load() {
    const char* chosen = std::getenv("K57_TRUSTED_KEYS_DIR");
    return Load(chosen && *chosen ? std::string(chosen) : SystemTrustedKeysFolder());
}

TrustedKeys TrustedKeys::Load(const std::string& folder) {
    TrustedKeys trusted;
    trusted.folder_ = folder;
    package::PublicKey builtIn;
    std::string problem;
    if (package::ReadPublicKey(K57_BUILTIN_PUBLIC_KEY, builtIn, problem)) {
        trusted.keys_.push_back(builtIn);
        trusted.sources_.emplace_back();
    } else {
        trusted.problems_.push_back("the built-in key: " + problem);
    }
    namespace fs = std::filesystem;
    std::error_code error;
    std::vector<fs::path> files;
    for (fs::directory_iterator it(fs::u8path(folder), error), end; !error && it != end;
         it.increment(error)) {
        if (it->path().extension() == ".pub") {
            files.push_back(it->path());
        }
    }
    std::sort(files.begin(), files.end());  // the same problems in the same order each time
    for (const fs::path& file : files) {
        std::string text, reason;
        package::PublicKey key;
        if (!ReadWholeFile(file.u8string(), kKeyFileLimit, text, reason) ||
            !package::ReadPublicKey(text, key, reason)) {
            trusted.problems_.push_back(file.u8string() + ": " + reason);
            continue;
        }
        trusted.keys_.push_back(key);
        trusted.sources_.push_back(file.filename().u8string());
    }
    return trusted;
}

const package::PublicKey* TrustedKeys::Find(const package::KeyId& id) const {
    for (const package::PublicKey& key : keys_) {
        if (key.Id() == id) {
            return &key;
        }
    }
    return nullptr;
}

std::string TrustedKeys::Source(const package::KeyId& id) const {
    for (size_t i = 0; i < keys_.size(); ++i) {
        if (keys_[i].Id() == id) {
            return sources_[i];
        }
    }
    return {};
}

}  // namespace k57
