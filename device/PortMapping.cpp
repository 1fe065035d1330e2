#include "PortMapping.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace k57::ports {

namespace {

const char kDevicePrefix[] = "\\\\.\\";

std::string EntryPath(int n) {
    return Directory() + "/COM" + std::to_string(n);
}

std::string BuiltInDefault(int n) {
    if (n >= 1 && n <= 4) {
        return "/dev/ttyS" + std::to_string(n - 1);
    }
    if (n >= 5 && n <= 20) {
        return "/dev/ttyACM" + std::to_string(n - 5);
    }
    if (n >= 21 && n <= 36) {
        return "/dev/ttyUSB" + std::to_string(n - 21);
    }
    return {};
}

bool MakeDirectories(const std::string& path) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) {
            return false;
        }
        if (slash == std::string::npos) {
            return true;
        }
    }
}

}  // namespace

int ComNumber(const std::string& name) {
    std::string s = name;
    if (s.compare(0, 4, kDevicePrefix) == 0) {
        s = s.substr(4);
    }
    if (s.size() < 4 || s.size() > 9 || (s[0] | 0x20) != 'c' || (s[1] | 0x20) != 'o' ||
        (s[2] | 0x20) != 'm' || s[3] == '0') {
        return 0;
    }
    int n = 0;
    for (size_t i = 3; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') {
            return 0;
        }
        n = n * 10 + (s[i] - '0');
    }
    return n;
}

std::string Directory() {
    if (const char* dir = std::getenv("K57_PORTS_DIR")) {
        return dir;
    }
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) {
        return std::string(config) + "/k57tool/ports";
    }
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.config/k57tool/ports";
}

std::string Resolve(const std::string& name) {
    if (name.find('/') != std::string::npos) {
        return name;
    }
    int n = ComNumber(name);
    if (n == 0) {
        return {};
    }
    std::string entry = EntryPath(n);
    struct stat st;
    if (lstat(entry.c_str(), &st) == 0) {
        return entry;
    }
    if (std::getenv("K57_PORTS_DIR")) {
        return {};
    }
    return BuiltInDefault(n);
}

bool Register(int comNumber, const std::string& devicePath) {
    if (comNumber <= 0 || !MakeDirectories(Directory())) {
        return false;
    }
    std::string entry = EntryPath(comNumber);
    unlink(entry.c_str());
    return symlink(devicePath.c_str(), entry.c_str()) == 0;
}

void Unregister(int comNumber) {
    unlink(EntryPath(comNumber).c_str());
}

}  // namespace k57::ports
