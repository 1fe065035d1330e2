#include "PortMapping.h"

namespace k57::ports {

namespace {

const char kDevicePrefix[] = "\\\\.\\";

}  // namespace

std::string ShownName(const std::string& name) {
    return name.compare(0, 4, kDevicePrefix) == 0 ? name.substr(4) : name;
}

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

}  // namespace k57::ports
