// Windows port names: COMn is the device \\.\COMn, which also reaches ports
// above COM9; any other name is used as it is.

#include "PortMapping.h"

namespace k57::ports {

std::string Resolve(const std::string& name) {
    int n = ComNumber(name);
    return n > 0 ? "\\\\.\\COM" + std::to_string(n) : name;
}

}  // namespace k57::ports
