#pragma once

#include <string>

// The one persistent setting: the name of the port the unit is on ("Port").
// On Windows it is the registry value an existing installation stored under
// HKEY_LOCAL_MACHINE\SOFTWARE\ZK\VM_USB_PORT; elsewhere a per-user settings
// file (k57tool/k57tool.ini in the user's configuration directory).
namespace k57::StoredPort {

// The port a fresh installation talks to: where the unit appears out of the
// box (COM5 is /dev/ttyACM0, see PortMapping.h).
inline constexpr char kDefaultPort[] = "COM5";

// The stored name; empty when none is stored.
std::string Read();
// The stored name, or kDefaultPort when none is stored.
inline std::string ReadOrDefault() {
    std::string stored = Read();
    return stored.empty() ? kDefaultPort : stored;
}
// False when the value could not be written.
bool Write(const std::string& port);

}  // namespace k57::StoredPort
