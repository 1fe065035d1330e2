#include "Terminal.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <iostream>

#include "FileRead.h"
#include "Utf8Console.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace k57::ctl {

namespace {

std::atomic<bool> interrupted{false};
std::atomic<DeviceInterface*> interruptible{nullptr};
std::atomic<bool> waitsHeld{false};

void OnInterrupt() {
    interrupted = true;
    StopFileReads();
    DeviceInterface* device = interruptible.load();
    if (device && !waitsHeld) {
        device->SetAbandoned(true);
    }
}

#ifdef _WIN32
BOOL WINAPI ConsoleHandler(DWORD event) {
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
        OnInterrupt();
        return TRUE;
    }
    return FALSE;
}
#else
void SignalHandler(int) {
    OnInterrupt();
}
#endif

int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

bool IsTerminal(std::FILE* stream) {
#ifdef _WIN32
    return RoutedToConsole(stream) || _isatty(_fileno(stream));
#else
    return isatty(fileno(stream));
#endif
}

bool Confirm(const std::string& question) {
    std::fprintf(stderr, "%s [y/N] ", question.c_str());
    std::fflush(stderr);
    std::string answer;
    if (!std::getline(std::cin, answer)) {
        return false;
    }
    return answer == "y" || answer == "Y" || answer == "yes";
}

void CatchInterrupt(DeviceInterface* device) {
    interruptible = device;
#ifdef _WIN32
    SetConsoleCtrlHandler(ConsoleHandler, TRUE);
#else
    struct sigaction action {};
    action.sa_handler = SignalHandler;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
#endif
}

bool Interrupted() {
    return interrupted;
}

HeldWaits::HeldWaits() {
    waitsHeld = true;
}

HeldWaits::~HeldWaits() {
    waitsHeld = false;
    if (interrupted) {
        if (DeviceInterface* device = interruptible.load()) {
            device->SetAbandoned(true);
        }
    }
}

std::string Kilobytes(double bytes, const std::string& unit) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f ", bytes / 1024.0);
    return text + unit;
}

Progress::Progress(std::string what, bool quiet)
    : what_(std::move(what)), quiet_(quiet), terminal_(IsTerminal(stderr)) {}

void Progress::Update(const UpdateProgress& progress) {
    if (quiet_) {
        return;
    }
    int percent = progress.Percent();
    if (!terminal_) {
        if (percent / 10 > lastTenth_) {
            lastTenth_ = percent / 10;
            std::fprintf(stderr, "%s: %d %%\n", what_.c_str(), lastTenth_ * 10);
        }
        return;
    }
    int64_t now = NowMs();
    bool last = progress.bytesSent >= progress.bytes;
    if (now - lastDrawMs_ < 100 && !last) {
        return;
    }
    lastDrawMs_ = now;
    drawn_ = true;
    const int width = 30;
    int filled = progress.bytes > 0 ? int(progress.bytesSent * width / progress.bytes) : 0;
    std::string bar(size_t(filled), '#');
    bar.resize(width, '.');
    int left = progress.SecondsLeft();
    std::fprintf(stderr, "\r%s [%s] %3d %%  %s of %s  %s/s  %02d:%02d left ", what_.c_str(),
                 bar.c_str(), percent, Kilobytes(double(progress.bytesSent)).c_str(),
                 Kilobytes(double(progress.bytes)).c_str(),
                 Kilobytes(progress.bytesPerSecond).c_str(), left / 60, left % 60);
    std::fflush(stderr);
}

void Progress::Finish() {
    if (drawn_) {
        std::fputc('\n', stderr);
        drawn_ = false;
    }
}

}  // namespace k57::ctl
