#include "Pty.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace k57::sim {

Pty::Pty() {
    termios tio{};
    cfmakeraw(&tio);
    cfsetspeed(&tio, B9600);
    char name[256] = {};
    if (openpty(&master_, &slaveKeeper_, name, &tio, nullptr) != 0) {
        master_ = slaveKeeper_ = -1;
        return;
    }
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    fcntl(master_, F_SETFD, FD_CLOEXEC);
    fcntl(slaveKeeper_, F_SETFD, FD_CLOEXEC);
    slavePath_ = name;
}

Pty::~Pty() {
    if (slaveKeeper_ >= 0) {
        close(slaveKeeper_);
    }
    if (master_ >= 0) {
        close(master_);
    }
}

bool Pty::writeAll(const void* data, size_t length, int stopFd) {
    const char* p = static_cast<const char*>(data);
    while (length > 0) {
        ssize_t n = write(master_, p, length);
        if (n < 0) {
            if (errno != EAGAIN && errno != EINTR) {
                return false;
            }
            pollfd fds[2] = {{master_, POLLOUT, 0}, {stopFd, POLLIN, 0}};
            if (poll(fds, stopFd >= 0 ? 2 : 1, 100) > 0 && fds[1].revents) {
                return false;
            }
            continue;
        }
        p += n;
        length -= size_t(n);
    }
    return true;
}

size_t Pty::writeSome(const char* data, size_t length) {
    ssize_t n = write(master_, data, length);
    return n > 0 ? size_t(n) : 0;
}

void Pty::offer(const std::string& bytes) {
    (void)!write(master_, bytes.data(), bytes.size());
}

bool Pty::WaitUntil(uint64_t dueUs, int stopFd) {
    using namespace std::chrono;
    for (;;) {
        auto now = uint64_t(duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
        if (now >= dueUs) {
            return true;
        }
        pollfd stop{stopFd, POLLIN, 0};
        int ms = int(std::min<uint64_t>((dueUs - now + 999) / 1000, 1000));
        if (poll(&stop, 1, ms) > 0) {
            return false;
        }
    }
}

void Pty::hangUp() {
    if (slaveKeeper_ >= 0) {
        close(slaveKeeper_);
        slaveKeeper_ = -1;
    }
    if (master_ >= 0) {
        close(master_);
        master_ = -1;
    }
}

std::string Pty::readSome(int timeoutMs) {
    pollfd pfd{master_, POLLIN, 0};
    if (poll(&pfd, 1, timeoutMs) <= 0) {
        return {};
    }
    char buffer[4096];
    ssize_t n = read(master_, buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, size_t(n)) : std::string();
}

}  // namespace k57::sim
