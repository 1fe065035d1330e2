#include "Terminal.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <iostream>

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

void OnInterrupt() {
    interrupted = true;
    if (DeviceInterface* device = interruptible.load()) {
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

Progress::Progress(std::string what, int64_t total, bool quiet)
    : what_(std::move(what)),
      total_(total > 0 ? total : 1),
      quiet_(quiet),
      terminal_(IsTerminal(stdout)),
      startMs_(NowMs()) {}

void Progress::Update(int64_t done) {
    if (quiet_) {
        return;
    }
    int64_t now = NowMs();
    int percent = int(done * 100 / total_);
    if (!terminal_) {
        if (percent / 10 > lastTenth_) {
            lastTenth_ = percent / 10;
            std::fprintf(stdout, "%s: %d %%\n", what_.c_str(), lastTenth_ * 10);
            std::fflush(stdout);
        }
        return;
    }
    if (now - lastDrawMs_ < 100 && done < total_) {
        return;
    }
    lastDrawMs_ = now;
    double seconds = double(now - startMs_) / 1000.0;
    double rate = seconds > 0 ? double(done) / seconds : 0;
    int left = rate > 0 ? int(double(total_ - done) / rate) : 0;
    const int width = 30;
    int filled = int(done * width / total_);
    std::string bar(size_t(filled), '#');
    bar.resize(width, '.');
    std::fprintf(stdout, "\r%s [%s] %3d %%  %6.1f KB/s  %02d:%02d left ", what_.c_str(),
                 bar.c_str(), percent, rate / 1024.0, left / 60, left % 60);
    std::fflush(stdout);
}

void Progress::Finish() {
    if (!quiet_ && terminal_) {
        std::fputc('\n', stdout);
    }
}

}  // namespace k57::ctl
