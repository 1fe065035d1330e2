#include "SafeSave.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "ProgramText.h"
#include "TextArguments.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace k57 {

namespace {

std::atomic<SaveFault> fault{nullptr};
std::atomic<int> stepCounts[4];

// The errno the test hook asks for at this step, or 0.
int Injected(SaveStep step) {
    SaveFault hook = fault.load();
    if (!hook) {
        return 0;
    }
    return hook(step, ++stepCounts[int(step)]);
}

std::string Reason(int error) {
    return std::strerror(error);
}

#ifdef _WIN32
std::filesystem::path Native(const std::string& path) {
    return std::filesystem::u8path(path);
}
#endif

int OpenNew(const std::string& path, SaveAccess access) {
#ifdef _WIN32
    (void)access;
    return _wopen(Native(path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                  _S_IREAD | _S_IWRITE);
#else
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                  access == SaveAccess::Private ? 0600 : 0666);
#endif
}

long long WriteSome(int fd, const char* data, size_t size) {
#ifdef _WIN32
    return _write(fd, data, unsigned(size > (1u << 30) ? (1u << 30) : size));
#else
    return ::write(fd, data, size);
#endif
}

bool SyncToDisk(int fd) {
#ifdef _WIN32
    return _commit(fd) == 0;
#else
    // Some file systems cannot sync (a FUSE mount, a pipe is refused before):
    // that is no reason to keep the old file.
    return ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
#endif
}

int CloseFile(int fd) {
#ifdef _WIN32
    return _close(fd);
#else
    return ::close(fd);
#endif
}

void Remove(const std::string& path) {
#ifdef _WIN32
    _wunlink(Native(path).c_str());
#else
    ::unlink(path.c_str());
#endif
}

bool RenameOver(const std::string& from, const std::string& to) {
#ifdef _WIN32
    if (MoveFileExW(Native(from).c_str(), Native(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    errno = GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
    return false;
#else
    return ::rename(from.c_str(), to.c_str()) == 0;
#endif
}

}  // namespace

bool NotRegularFile(const std::string& path, std::string& reason) {
    std::error_code code;
#ifdef _WIN32
    const std::filesystem::file_status status = std::filesystem::status(Native(path), code);
    const bool other = std::filesystem::exists(status) && !std::filesystem::is_regular_file(status);
#else
    (void)code;
    struct stat info {};
    const bool other = ::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
#endif
    if (other) {
        reason = K57_TR("SafeSave", "это не обычный файл, он оставлен как есть");
    }
    return other;
}

void SetSaveFault(SaveFault hook) {
    for (std::atomic<int>& count : stepCounts) {
        count = 0;
    }
    fault = hook;
}

SafeSaveFile::SafeSaveFile(std::string path, SaveAccess access)
    : path_(std::move(path)), target_(path_), access_(access) {}

SafeSaveFile::~SafeSaveFile() {
    Discard();
}

bool SafeSaveFile::Fail(const std::string& reason) {
    failed_ = true;
    if (error_.empty()) {
        error_ = reason;
    }
    Discard();
    return false;
}

void SafeSaveFile::Discard() {
    if (fd_ >= 0) {
        CloseFile(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty()) {
        Remove(temporary_);
        temporary_.clear();
    }
}

bool SafeSaveFile::Open() {
    Discard();
    failed_ = false;
    error_.clear();
    std::error_code code;
#ifdef _WIN32
    const std::filesystem::path native = Native(path_);
#else
    const std::filesystem::path native(path_);
#endif
    // A link is followed: replacing it with a file would cut the link.
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(native, code))) {
        std::filesystem::path real = std::filesystem::canonical(native, code);
        if (!code) {
            target_ = real.u8string();
        }
    }
    std::string reason;
    if (NotRegularFile(target_, reason)) {
        return Fail(reason);
    }
#ifndef _WIN32
    struct stat old {};
    const bool exists = ::stat(target_.c_str(), &old) == 0;
#endif
    const auto seed = uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        temporary_ = target_ + ".k57save-" + std::to_string((seed + uint64_t(attempt)) % 1000000);
        fd_ = OpenNew(temporary_, access_);
        if (fd_ < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd_ < 0) {
        const int error = errno;
        temporary_.clear();
        return Fail(WithArguments(K57_TR("SafeSave", "не удалось создать файл рядом с ним: %1"),
                                  {Reason(error)}));
    }
#ifndef _WIN32
    if (exists) {
        // Best effort: another owner's mode may not be ours to give.
        (void)::fchmod(fd_, old.st_mode & 07777);
    }
#endif
    return true;
}

bool SafeSaveFile::Write(std::string_view bytes) {
    if (failed_ || fd_ < 0) {
        return false;
    }
    while (!bytes.empty()) {
        int error = Injected(SaveStep::Write);
        long long written = error ? -1 : WriteSome(fd_, bytes.data(), bytes.size());
        if (written < 0 && !error) {
            error = errno;
            if (error == EINTR) {
                continue;
            }
        }
        if (written <= 0) {
            return Fail(WithArguments(K57_TR("SafeSave", "запись не удалась: %1"),
                                      {Reason(error ? error : EIO)}));
        }
        bytes.remove_prefix(size_t(written));
    }
    return true;
}

bool SafeSaveFile::Commit() {
    if (failed_ || fd_ < 0) {
        return false;
    }
    int error = Injected(SaveStep::Sync);
    if (error || !SyncToDisk(fd_)) {
        return Fail(WithArguments(K57_TR("SafeSave", "запись на диск не удалась: %1"),
                                  {Reason(error ? error : errno)}));
    }
    error = Injected(SaveStep::Close);
    const int fd = fd_;
    fd_ = -1;
    if (CloseFile(fd) != 0 || error) {
        return Fail(WithArguments(K57_TR("SafeSave", "запись на диск не удалась: %1"),
                                  {Reason(error ? error : errno)}));
    }
    error = Injected(SaveStep::Rename);
    if (error || !RenameOver(temporary_, target_)) {
        return Fail(WithArguments(K57_TR("SafeSave", "не удалось заменить файл: %1"),
                                  {Reason(error ? error : errno)}));
    }
    temporary_.clear();
    return true;
}

bool SafeSave(const std::string& path, std::string_view bytes, std::string& error,
              SaveAccess access) {
    SafeSaveFile file(path, access);
    if (file.Open() && file.Write(bytes) && file.Commit()) {
        return true;
    }
    error = file.error();
    return false;
}

}  // namespace k57
