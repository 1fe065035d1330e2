#include "Utf8Console.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <cstdlib>
#include <thread>
#endif

namespace k57::ctl {

#ifdef _WIN32
namespace {

std::string ToUtf8(const wchar_t* text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size_t(size) : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

// The length of the longest prefix of `text` that ends on a whole UTF-8
// sequence: a character split between two reads waits for its rest.
size_t WholeCharacters(const std::string& text) {
    size_t end = text.size();
    for (size_t back = 1; back <= 3 && back <= text.size(); ++back) {
        unsigned char c = static_cast<unsigned char>(text[text.size() - back]);
        if ((c & 0xC0) == 0x80) {
            continue;  // a continuation byte: look further back
        }
        size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        if (length > back) {
            end = text.size() - back;
        }
        break;
    }
    return end;
}

void ShowOnConsole(HANDLE console, const std::string& utf8) {
    if (utf8.empty()) {
        return;
    }
    int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring wide(size_t(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), size);
    DWORD written = 0;
    WriteConsoleW(console, wide.data(), DWORD(wide.size()), &written, nullptr);
}

struct ConsoleRoute {
    HANDLE console = nullptr;
    bool routed[3] = {};  // by file descriptor
    std::thread pump;
};
ConsoleRoute route;

void Pump(int pipe) {
    std::string pending;
    char buffer[4096];
    int got;
    HANDLE pipeHandle = reinterpret_cast<HANDLE>(_get_osfhandle(pipe));
    while ((got = _read(pipe, buffer, sizeof buffer)) > 0) {
        pending.append(buffer, size_t(got));
        // Unbuffered output comes a few bytes a write: what is already
        // waiting goes to the console in one call.
        DWORD waiting = 0;
        while (PeekNamedPipe(pipeHandle, nullptr, 0, nullptr, &waiting, nullptr) && waiting > 0 &&
               (got = _read(pipe, buffer, sizeof buffer)) > 0) {
            pending.append(buffer, size_t(got));
        }
        size_t whole = WholeCharacters(pending);
        ShowOnConsole(route.console, pending.substr(0, whole));
        pending.erase(0, whole);
    }
    ShowOnConsole(route.console, pending);
    _close(pipe);
}

// At exit: the last output is flushed into the pipe, the pipe closed, and
// the pump let finish writing it.
void FinishConsole() {
    std::fflush(stdout);
    std::fflush(stderr);
    for (int fd : {1, 2}) {
        if (route.routed[fd]) {
            _close(fd);
        }
    }
    if (route.pump.joinable()) {
        route.pump.join();
    }
}

bool IsConsole(int fd) {
    DWORD mode = 0;
    return GetConsoleMode(reinterpret_cast<HANDLE>(_get_osfhandle(fd)), &mode) != 0;
}

}  // namespace
#endif

Utf8Arguments::Utf8Arguments(int argc, char** argv) {
#ifdef _WIN32
    int count = 0;
    if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i) {
            texts_.push_back(ToUtf8(wide[i]));
        }
        LocalFree(wide);
    }
#endif
    if (texts_.empty()) {
        texts_.assign(argv, argv + argc);
    }
    for (std::string& text : texts_) {
        values_.push_back(text.data());
    }
    values_.push_back(nullptr);
}

void UseUtf8Console() {
#ifdef _WIN32
    bool out = IsConsole(1), err = IsConsole(2);
    if (!out && !err) {
        return;
    }
    // Both streams share one pipe, so what they print keeps its order.
    int ends[2];
    int console = _dup(out ? 1 : 2);
    if (console < 0 || _pipe(ends, 4096, _O_BINARY) != 0) {
        return;
    }
    route.console = reinterpret_cast<HANDLE>(_get_osfhandle(console));
    std::fflush(stdout);
    std::fflush(stderr);
    for (int fd : {1, 2}) {
        if (fd == 1 ? out : err) {
            _dup2(ends[1], fd);
            route.routed[fd] = true;
        }
    }
    _close(ends[1]);
    // A console shows every piece as soon as it is printed; so does the pipe.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    route.pump = std::thread(Pump, ends[0]);
    std::atexit(FinishConsole);
#endif
}

bool RoutedToConsole([[maybe_unused]] std::FILE* stream) {
#ifdef _WIN32
    int fd = _fileno(stream);
    return fd >= 0 && fd <= 2 && route.routed[fd];
#else
    return false;
#endif
}

}  // namespace k57::ctl
