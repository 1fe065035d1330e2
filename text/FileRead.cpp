#include "FileRead.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "ProgramText.h"
#include "TextArguments.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace k57 {

namespace {

std::atomic<bool> stopped{false};

constexpr size_t kPiece = 64 * 1024;

// Opens a regular file without waiting: a FIFO opened for reading would
// otherwise wait for a writer before it could be refused.
int OpenRegular(const std::string& path, long long& size, ReadProblem& problem, int& error) {
#ifdef _WIN32
    int fd = _wopen(std::filesystem::u8path(path).c_str(), _O_RDONLY | _O_BINARY);
#else
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
#endif
    if (fd < 0) {
        error = errno;
        problem = error == ENOENT || error == ENOTDIR ? ReadProblem::NoSuchFile
                  : error == EACCES || error == EPERM ? ReadProblem::NoPermission
                                                      : ReadProblem::Unreadable;
        return -1;
    }
#ifdef _WIN32
    struct _stat64 info {};
    const bool known = _fstat64(fd, &info) == 0;
    const bool regular = known && (info.st_mode & _S_IFMT) == _S_IFREG;
#else
    struct stat info {};
    const bool known = ::fstat(fd, &info) == 0;
    const bool regular = known && S_ISREG(info.st_mode);
    if (regular) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    }
#endif
    if (!regular) {
        error = known ? 0 : errno;
        problem = known ? ReadProblem::NotRegular : ReadProblem::Unreadable;
#ifdef _WIN32
        _close(fd);
#else
        ::close(fd);
#endif
        return -1;
    }
    size = (long long)info.st_size;
    problem = ReadProblem::None;
    return fd;
}

// Some bytes, 0 at the end, -1 on a failure (errno says which) or when
// reads are stopped. A descriptor that is not a file (standard input) is
// watched in short waits, so a stop is seen while nothing comes.
long long ReadPiece(int fd, bool waits, char* into, size_t size) {
    for (;;) {
        if (stopped) {
            errno = EINTR;
            return -1;
        }
#ifdef _WIN32
        (void)waits;
        int got = _read(fd, into, unsigned(size));
#else
        if (waits) {
            // Read only once there is something: a signal that comes just
            // before a blocking read would not end it.
            pollfd watched{fd, POLLIN, 0};
            if (::poll(&watched, 1, 200) <= 0) {
                continue;
            }
        }
        long long got = ::read(fd, into, size);
#endif
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        return got;
    }
}

void Close(int fd) {
#ifdef _WIN32
    _close(fd);
#else
    ::close(fd);
#endif
}

}  // namespace

void StopFileReads() {
    stopped = true;
}

bool FileReadsStopped() {
    return stopped;
}

std::string ReadProblemText(ReadProblem problem, long long limit, const std::string& reason) {
    switch (problem) {
        case ReadProblem::None:
            return {};
        case ReadProblem::NoSuchFile:
            return K57_TR("FileRead", "нет такого файла");
        case ReadProblem::NoPermission:
            return K57_TR("FileRead", "нет прав на чтение файла");
        case ReadProblem::NotRegular:
            return K57_TR("FileRead", "это не обычный файл");
        case ReadProblem::TooLarge:
            return WithArguments(K57_TR("FileRead", "файл больше %1 МБ"),
                                 {std::to_string(limit / FileLimits::kMegabyte)});
        case ReadProblem::Stopped:
            return K57_TR("FileRead", "чтение прервано");
        case ReadProblem::Unreadable:
            break;
    }
    return WithArguments(K57_TR("FileRead", "не удалось прочитать файл: %1"), {reason});
}

bool ReadWholeFile(const std::string& path, long long limit, std::string& bytes,
                   ReadProblem& problem, std::string& error) {
    long long size = 0;
    int systemError = 0;
    int fd = OpenRegular(path, size, problem, systemError);
    if (fd >= 0 && size > limit) {
        problem = ReadProblem::TooLarge;
        Close(fd);
        fd = -1;
    }
    std::string read;
    if (fd >= 0) {
        read.reserve(size_t(size));
        std::vector<char> piece(kPiece);
        // The size may change while the file is read: the limit holds anyway.
        for (;;) {
            long long got = ReadPiece(fd, false, piece.data(), piece.size());
            if (got < 0) {
                systemError = errno;
                problem = stopped ? ReadProblem::Stopped : ReadProblem::Unreadable;
                break;
            }
            if (got == 0) {
                break;
            }
            if ((long long)read.size() + got > limit) {
                problem = ReadProblem::TooLarge;
                break;
            }
            read.append(piece.data(), size_t(got));
        }
        Close(fd);
    }
    if (problem != ReadProblem::None) {
        error = ReadProblemText(problem, limit, std::strerror(systemError));
        return false;
    }
    bytes = std::move(read);
    return true;
}

bool ReadWholeFile(const std::string& path, long long limit, std::string& bytes,
                   std::string& error) {
    ReadProblem problem;
    return ReadWholeFile(path, limit, bytes, problem, error);
}

class FileStream::Buffer : public std::streambuf {
  public:
    ~Buffer() override {
        if (fd_ > 0) {  // standard input (0) is the program's, not ours
            Close(fd_);
        }
    }
    void Attach(int fd, bool waits) {
        fd_ = fd;
        waits_ = waits;
    }
    ReadProblem problem() const { return problem_; }
    int error() const { return error_; }

  protected:
    int_type underflow() override {
        if (gptr() < egptr()) {
            return traits_type::to_int_type(*gptr());
        }
        if (fd_ < 0 || problem_ != ReadProblem::None) {
            return traits_type::eof();
        }
        long long got = ReadPiece(fd_, waits_, piece_, sizeof piece_);
        if (got <= 0) {
            if (got < 0) {
                error_ = errno;
                problem_ = stopped ? ReadProblem::Stopped : ReadProblem::Unreadable;
            }
            return traits_type::eof();
        }
        setg(piece_, piece_, piece_ + got);
        return traits_type::to_int_type(*gptr());
    }

  private:
    int fd_ = -1;
    bool waits_ = false;
    ReadProblem problem_ = ReadProblem::None;
    int error_ = 0;
    char piece_[kPiece];
};

FileStream::FileStream() : std::istream(nullptr), buffer_(std::make_unique<Buffer>()) {
    rdbuf(buffer_.get());
}

FileStream::~FileStream() = default;

bool FileStream::Open(const std::string& path, std::string& error) {
    if (path == "-") {
        buffer_->Attach(0, true);
        return true;
    }
    long long size = 0;
    int systemError = 0;
    ReadProblem problem = ReadProblem::None;
    int fd = OpenRegular(path, size, problem, systemError);
    if (fd < 0) {
        error = ReadProblemText(problem, 0, std::strerror(systemError));
        setstate(std::ios::failbit);
        return false;
    }
    buffer_->Attach(fd, false);
    return true;
}

ReadProblem FileStream::problem() const {
    return buffer_->problem();
}

std::string FileStream::ProblemText() const {
    return ReadProblemText(buffer_->problem(), 0, std::strerror(buffer_->error()));
}

bool ReadLine(std::istream& in, std::string& line, size_t max, bool& cut) {
    line.clear();
    cut = false;
    std::streambuf* source = in.rdbuf();
    if (!source || !in.good()) {
        return false;
    }
    using Traits = std::char_traits<char>;
    bool any = false;
    for (;;) {
        Traits::int_type c = source->sbumpc();
        if (Traits::eq_int_type(c, Traits::eof())) {
            in.setstate(std::ios::eofbit);
            return any;
        }
        any = true;
        if (c == '\n') {
            return true;
        }
        if (line.size() < max) {
            line += Traits::to_char_type(c);
        } else {
            cut = true;
        }
    }
}

}  // namespace k57
