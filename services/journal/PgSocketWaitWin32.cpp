#include <winsock2.h>

#include "PgConnection.h"

namespace k57 {

int WaitForSocket(int socket, bool write, int timeoutMs) {
    // libpq hands Windows sockets over as int.
    SOCKET handle = static_cast<SOCKET>(socket);
    fd_set set;
    FD_ZERO(&set);
    FD_SET(handle, &set);
    timeval timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    int ready = ::select(0, write ? nullptr : &set, write ? &set : nullptr, nullptr, &timeout);
    return ready > 0 ? 1 : (ready == 0 ? 0 : -1);
}

}  // namespace k57
