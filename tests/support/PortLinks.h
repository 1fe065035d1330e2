#pragma once

// The simulated units' ports are symbolic links in a ports directory; the
// tests look at them without following them.

#include <climits>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace k57::test {

// Where a link leads; empty when there is no link at all.
inline std::string LinkTarget(const std::string& link) {
    char target[PATH_MAX] = {};
    ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
    return n > 0 ? std::string(target, size_t(n)) : std::string();
}

// Whether the entry is there, a dangling link included.
inline bool EntryExists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

}  // namespace k57::test
