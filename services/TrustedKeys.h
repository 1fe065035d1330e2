#pragma once

#include <string>
#include <vector>

#include "PackageKeys.h"

namespace k57 {

// The keys whose packages may be installed: the one built in
// (K57_BUILTIN_PUBLIC_KEY at build time) and every *.pub file in the
// system's folder, which only an administrator can write:
// /etc/k57tool/trusted-keys on Linux, %ProgramData%\k57tool\trusted-keys
// on Windows, or K57_TRUSTED_KEYS_DIR when it is set.
class TrustedKeys {
  public:
    // The built-in key and the folder's. A file that is not a key is passed
    // over and named in problems().
    static TrustedKeys Load();
    // The built-in key and those of `folder` alone.
    static TrustedKeys Load(const std::string& folder);

    // The key with this id, or null.
    const package::PublicKey* Find(const package::KeyId& id) const;
    // Where the key with this id came from: its file's name ("workshop.pub"),
    // or empty for the built-in key (or none).
    std::string Source(const package::KeyId& id) const;
    const std::vector<std::string>& problems() const { return problems_; }
    // The folder the keys were read from.
    const std::string& folder() const { return folder_; }

  private:
    std::vector<package::PublicKey> keys_;
    std::vector<std::string> sources_;  // beside keys_; empty: built in
    std::vector<std::string> problems_;
    std::string folder_;
};

// The system's folder of trusted keys for this OS (TrustedKeysFolder*.cpp).
std::string SystemTrustedKeysFolder();

}  // namespace k57
