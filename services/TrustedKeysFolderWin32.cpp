#include "TrustedKeys.h"

#include <windows.h>
#include <shlobj.h>

#include <string>

namespace k57 {

// %ProgramData% is readable by every user and writable by administrators
// alone once a folder in it has been made by one.
std::string SystemTrustedKeysFolder() {
    PWSTR wide = nullptr;
    std::string folder = "C:\\ProgramData";
    if (SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &wide) == S_OK) {
        int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
        if (size > 1) {
            folder.assign(size_t(size - 1), '\0');
            WideCharToMultiByte(CP_UTF8, 0, wide, -1, folder.data(), size, nullptr, nullptr);
        }
    }
    CoTaskMemFree(wide);
    return folder + "\\k57tool\\trusted-keys";
}

}  // namespace k57
