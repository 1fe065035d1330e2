#include <poll.h>

#include <cerrno>

#include "PgConnection.h"

namespace k57 {

int WaitForSocket(int socket, bool write, int timeoutMs) {
    pollfd fd{socket, short(write ? POLLOUT : POLLIN), 0};
    int ready;
    do {
        ready = ::poll(&fd, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    return ready > 0 ? 1 : ready;
}

}  // namespace k57
