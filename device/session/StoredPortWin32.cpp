// The stored port on Windows: the registry value "Port" under
// SOFTWARE\ZK\VM_USB_PORT, where existing installations keep it.
//
// The value lives under HKEY_LOCAL_MACHINE, which a standard user cannot
// write. Such a user's choice goes under the same path in
// HKEY_CURRENT_USER instead, and is read first; a write that reaches the
// machine's value removes the user's, so the two never disagree.

#include <windows.h>

#include <cstdlib>

#include "StoredPort.h"

namespace k57::StoredPort {

namespace {

const char kValue[] = "Port";

// K57_REGISTRY_KEY replaces the key path, so that tests keep to their own.
std::string KeyPath() {
    const char* key = std::getenv("K57_REGISTRY_KEY");
    return key && *key ? key : "SOFTWARE\\ZK\\VM_USB_PORT";
}

bool ReadFrom(HKEY root, std::string& value) {
    HKEY key;
    if (RegOpenKeyExA(root, KeyPath().c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return false;
    }
    char data[256] = {};
    DWORD type = 0, size = sizeof data - 1;
    LONG status =
        RegQueryValueExA(key, kValue, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return false;
    }
    value.assign(data, size);
    value.resize(value.find('\0') == std::string::npos ? value.size() : value.find('\0'));
    return true;
}

bool WriteTo(HKEY root, const std::string& value) {
    HKEY key;
    if (RegCreateKeyExA(root, KeyPath().c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    LONG status =
        RegSetValueExA(key, kValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       DWORD(value.size() + 1));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

void RemoveFrom(HKEY root) {
    HKEY key;
    if (RegOpenKeyExA(root, KeyPath().c_str(), 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, kValue);
        RegCloseKey(key);
    }
}

}  // namespace

std::string Read() {
    std::string value;
    if (ReadFrom(HKEY_CURRENT_USER, value) || ReadFrom(HKEY_LOCAL_MACHINE, value)) {
        return value;
    }
    return {};
}

bool Write(const std::string& port) {
    if (WriteTo(HKEY_LOCAL_MACHINE, port)) {
        RemoveFrom(HKEY_CURRENT_USER);
        return true;
    }
    return WriteTo(HKEY_CURRENT_USER, port);
}

}  // namespace k57::StoredPort
