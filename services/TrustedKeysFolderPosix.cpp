#include "TrustedKeys.h"

namespace k57 {

// Beside the other programs' system-wide settings, writable by root alone.
std::string SystemTrustedKeysFolder() {
    return "/etc/k57tool/trusted-keys";
}

}  // namespace k57
