#pragma once

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

namespace k57::test {

// A port on 127.0.0.1 that takes connections into its backlog (the system
// completes the handshake) and never answers: a server that hangs behind a
// firewall letting the handshake through. Closed at once (`listening`
// false), a port nobody listens on. POSIX only.
class SilentPort {
  public:
    explicit SilentPort(bool listening = true) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(fd_, 64) != 0 ||
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            return;
        }
        port_ = ntohs(address.sin_port);
        if (!listening) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~SilentPort() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    SilentPort(const SilentPort&) = delete;
    SilentPort& operator=(const SilentPort&) = delete;

    int port() const { return port_; }
    // A journal server's address on it.
    std::string Uri() const {
        return "postgresql://x@127.0.0.1:" + std::to_string(port_) + "/k57";
    }

  private:
    int fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    int port_ = 0;
};

}  // namespace k57::test
