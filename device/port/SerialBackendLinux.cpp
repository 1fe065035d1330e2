// Linux serial backend: termios, with poll-bounded transfers.

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "Clock.h"
#include "PortMapping.h"
#include "SerialBackend.h"

namespace k57::serial {

struct Device {
    int fd = -1;
    Timeouts timeouts;
};

namespace {

struct Speed {
    uint32_t baud;
    speed_t code;
};

const Speed kSpeeds[] = {{1200, B1200},     {2400, B2400},     {4800, B4800},    {9600, B9600},
                         {19200, B19200},   {38400, B38400},   {57600, B57600},  {115200, B115200},
                         {230400, B230400}, {460800, B460800}, {921600, B921600}};

uint32_t BaudOf(speed_t code) {
    for (const Speed& s : kSpeeds) {
        if (s.code == code) {
            return s.baud;
        }
    }
    return 0;
}

bool CodeOf(uint32_t baud, speed_t& code) {
    for (const Speed& s : kSpeeds) {
        if (s.baud == baud) {
            code = s.code;
            return true;
        }
    }
    return false;
}

// Moves up to `length` bytes with `step` until all have moved or `budget`
// milliseconds have passed, waiting on the descriptor for `events`.
template <typename Step>
int Transfer(int fd, short events, int length, uint32_t budget, Step step) {
    int done = 0;
    uint32_t start = TickMs();
    while (done < length) {
        ssize_t n = step(done);
        if (n > 0) {
            done += int(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            break;
        }
        uint32_t elapsed = TickMs() - start;
        if (elapsed >= budget) {
            break;
        }
        pollfd p{fd, events, 0};
        if (poll(&p, 1, int(budget - elapsed)) < 0 && errno != EINTR) {
            break;
        }
        if (p.revents & (POLLERR | POLLNVAL | POLLHUP)) {
            break;
        }
    }
    return done;
}

}  // namespace

Device* OpenExclusive(const std::string& name, std::string& reason, OpenProblem* problem) {
    OpenProblem ignored;
    OpenProblem& why = problem ? *problem : ignored;
    why = OpenProblem{};
    std::string path = ports::Resolve(name);
    if (path.empty()) {
        reason = "no such port";
        why.kind = OpenProblem::Kind::NoSuchPort;
        return nullptr;
    }
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        int code = errno;
        reason = path + ": " + std::strerror(code);
        why = {OpenProblem::Kind::System, code};
        return nullptr;
    }
    // A file or /dev/null opens like a port but takes no line settings:
    // said here in one line, before the settings would fail.
    if (!isatty(fd)) {
        reason = path + ": not a serial port";
        why = {OpenProblem::Kind::System, ENOTTY};
        ::close(fd);
        return nullptr;
    }
    // TIOCEXCL keeps other users out, but root passes it; the advisory lock
    // also stops a second open by root or by this very process.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        reason = path + ": in use by another program";
        why.kind = OpenProblem::Kind::InUse;
        ::close(fd);
        return nullptr;
    }
    ioctl(fd, TIOCEXCL);
    // A fresh handle starts with nothing stale from an earlier exchange.
    tcflush(fd, TCIFLUSH);
    return new Device{fd, {}};
}

void Close(Device* device) {
    if (!device) {
        return;
    }
    ioctl(device->fd, TIOCNXCL);
    ::close(device->fd);
    delete device;
}

bool ReadLineSettings(Device* device, LineSettings& settings) {
    termios tio;
    if (tcgetattr(device->fd, &tio) != 0) {
        return false;
    }
    settings.baudRate = BaudOf(cfgetospeed(&tio));
    switch (tio.c_cflag & CSIZE) {
        case CS5:
            settings.dataBits = 5;
            break;
        case CS6:
            settings.dataBits = 6;
            break;
        case CS7:
            settings.dataBits = 7;
            break;
        default:
            settings.dataBits = 8;
            break;
    }
    settings.parity = (tio.c_cflag & PARENB) ? ((tio.c_cflag & PARODD) ? 1 : 2) : 0;
    settings.stopBits = (tio.c_cflag & CSTOPB) ? 2 : 0;
    int lines = 0;
    settings.raiseRts = ioctl(device->fd, TIOCMGET, &lines) == 0 && (lines & TIOCM_RTS);
    return true;
}

bool ApplyLineSettings(Device* device, const LineSettings& settings) {
    termios tio;
    speed_t speed;
    if (tcgetattr(device->fd, &tio) != 0 || !CodeOf(settings.baudRate, speed) ||
        settings.dataBits != 8 || settings.parity != 0 || settings.stopBits != 0) {
        return false;
    }
    // Binary-transparent: no echo, no signals, no CR/LF translation and no
    // XON/XOFF, which would swallow payload bytes. Hardware flow control and
    // the modem-line behaviour stay as the driver has them.
    tcflag_t hardwareFlow = tio.c_cflag & (CRTSCTS | HUPCL);
    cfmakeraw(&tio);
    tio.c_iflag &= ~tcflag_t(IXON | IXOFF | IXANY);
    tio.c_cflag &= ~tcflag_t(CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL);
    tio.c_cflag |= CS8 | CLOCAL | CREAD | hardwareFlow;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (cfsetispeed(&tio, speed) != 0 || cfsetospeed(&tio, speed) != 0 ||
        tcsetattr(device->fd, TCSANOW, &tio) != 0) {
        return false;
    }
    if (settings.raiseRts) {
        // A pseudo-terminal has no modem lines; that is not an error.
        int rts = TIOCM_RTS;
        ioctl(device->fd, TIOCMBIS, &rts);
    }
    return true;
}

bool ApplyTimeouts(Device* device, const Timeouts& timeouts) {
    int flags = fcntl(device->fd, F_GETFL);
    if (flags < 0 || fcntl(device->fd, F_SETFL, flags | O_NONBLOCK) != 0) {
        return false;
    }
    device->timeouts = timeouts;
    return true;
}

// A device that has hung up also reports input (POLLIN with POLLHUP) while
// nothing can be read: that is the end, not input.
bool WaitForInput(Device* device, uint32_t ms) {
    pollfd p{device->fd, POLLIN, 0};
    if (poll(&p, 1, int(ms)) <= 0) {
        return true;
    }
    if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) {
        return BytesToRead(device) > 0;
    }
    return true;
}

uint32_t BytesToRead(Device* device) {
    int n = 0;
    return ioctl(device->fd, FIONREAD, &n) == 0 && n > 0 ? uint32_t(n) : 0;
}

uint32_t BytesToWrite(Device* device) {
    int n = 0;
    return ioctl(device->fd, TIOCOUTQ, &n) == 0 && n > 0 ? uint32_t(n) : 0;
}

int Read(Device* device, void* buffer, int length) {
    const Timeouts& t = device->timeouts;
    uint32_t budget = t.readConstant + t.readMultiplier * uint32_t(length);
    auto* bytes = static_cast<char*>(buffer);
    return Transfer(device->fd, POLLIN, length, budget, [&](int done) {
        return ::read(device->fd, bytes + done, size_t(length - done));
    });
}

int Write(Device* device, const void* buffer, int length) {
    const Timeouts& t = device->timeouts;
    uint32_t budget = t.writeConstant + t.writeMultiplier * uint32_t(length);
    auto* bytes = static_cast<const char*>(buffer);
    return Transfer(device->fd, POLLOUT, length, budget, [&](int done) {
        return ::write(device->fd, bytes + done, size_t(length - done));
    });
}

}  // namespace k57::serial
