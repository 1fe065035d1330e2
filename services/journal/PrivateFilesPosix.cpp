#include "PrivateFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace k57::privatefiles {

bool MakeFolder(const std::string& folder) {
    // Another process may make it at the same moment.
    return mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

bool MakePrivate(const std::string& path, bool folder) {
    return chmod(path.c_str(), folder ? 0700 : 0600) == 0;
}

bool Writable(const std::string& path) {
    return access(path.c_str(), W_OK) == 0;
}

bool MendWritable(const std::string& path) {
    if (Writable(path)) {
        return true;
    }
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || st.st_uid != geteuid()) {
        return false;
    }
    return chmod(path.c_str(), 0600) == 0 && Writable(path);
}

}  // namespace k57::privatefiles
