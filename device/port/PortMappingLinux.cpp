#include "PortMapping.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace k57::ports {

namespace {

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

// Where the entry leads; empty when it is no link.
std::string LinkTarget(const std::string& entry) {
    std::string target(4096, '\0');
    ssize_t n = readlink(entry.c_str(), target.data(), target.size());
    return n > 0 ? target.substr(0, size_t(n)) : std::string();
}

}  // namespace

std::string EntryPath(int comNumber) {
    return Directory() + "/COM" + std::to_string(comNumber);
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

// symlink() makes the entry only where there is none, so of two programs
// claiming one name at once, one gets it.
Claim ClaimName(int comNumber, const std::string& devicePath, std::string& holder) {
    if (comNumber <= 0 || !MakeDirectories(Directory())) {
        return Claim::Failed;
    }
    std::string entry = EntryPath(comNumber);
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (symlink(devicePath.c_str(), entry.c_str()) == 0) {
            return Claim::Made;
        }
        struct stat st;
        if (errno != EEXIST) {
            return Claim::Failed;
        }
        if (stat(entry.c_str(), &st) == 0) {
            std::string target = LinkTarget(entry);
            holder = target.empty() ? entry : target;
            return Claim::InUse;
        }
        unlink(entry.c_str());  // leads nowhere
    }
    return Claim::Failed;
}

void Release(int comNumber, const std::string& devicePath) {
    std::string entry = EntryPath(comNumber);
    if (LinkTarget(entry) == devicePath) {
        unlink(entry.c_str());
    }
}

}  // namespace k57::ports
