#include "VersionInfo.h"

#include <cstring>

namespace k57 {

namespace {

// Copies `part` into a field of `size` bytes, NUL-terminated; false when it
// had to be cut.
template <size_t size>
bool CopyField(char (&field)[size], const std::string& part) {
    size_t n = part.size() < size ? part.size() : size - 1;
    std::memcpy(field, part.data(), n);
    field[n] = '\0';
    return n == part.size();
}

}  // namespace

bool SplitVersionText(VersionInfo& info, const std::string& text) {
    std::memset(&info, 0, sizeof info);
    std::string s(text.c_str());  // the text ends at its first NUL
    size_t first = s.find('\n');
    size_t second = first == std::string::npos ? first : s.find('\n', first + 1);
    bool fits = CopyField(info.type, s.substr(0, first));
    if (first == std::string::npos) {
        return false;
    }
    fits = CopyField(info.version, s.substr(first + 1, second - first - 1)) && fits;
    if (second == std::string::npos) {
        return false;
    }
    return CopyField(info.extra, s.substr(second + 1)) && fits;
}

}  // namespace k57
