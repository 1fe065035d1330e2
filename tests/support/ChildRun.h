#pragma once

// A program run as a child with what QProcess does not give: a file size
// limit, its peak memory (from the kernel's own count), a watchdog that
// ends it when it takes too much memory or time, and a hook that may signal
// it while it runs. POSIX only.

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace k57::test {

struct ChildOptions {
    std::string input = "/dev/null";  // standard input
    long long fileSizeLimit = -1;      // RLIMIT_FSIZE, bytes; -1: none
    long long memoryCapKb = 1 << 20;   // resident memory that ends the child
    double seconds = 120;              // time that ends the child
    std::vector<std::string> environment;  // "NAME=value" set on top of the test's own
    // Asked every few milliseconds while the child runs, with its pid.
    std::function<void(pid_t)> whileRunning;
};

struct ChildResult {
    int code = -1;          // exit code; -1 when ended by a signal
    int signal = 0;
    long long peakKb = 0;   // the largest resident set it had
    bool overMemory = false;
    bool overTime = false;
    std::string out, err;
};

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A number from /proc/PID/FILE's line that starts with `key`; -1 if none.
inline long long ProcValue(pid_t pid, const char* file, const std::string& key) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/" + file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, key.size(), key) == 0) {
            return std::atoll(line.c_str() + key.size());
        }
    }
    return -1;
}

inline ChildResult RunChild(const std::vector<std::string>& args, const std::string& folder,
                            const ChildOptions& options = {}) {
    const std::string outPath = folder + "/child.out", errPath = folder + "/child.err";
    std::vector<char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    // Made before the fork: the child only calls what is safe between a
    // fork and an exec.
    std::vector<std::string> variables(options.environment);
    for (char** variable = environ; *variable; ++variable) {
        variables.push_back(*variable);
    }
    std::vector<char*> envp;
    for (std::string& variable : variables) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        int in = open(options.input.c_str(), O_RDONLY);
        int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        if (options.fileSizeLimit >= 0) {
            rlimit limit{rlim_t(options.fileSizeLimit), rlim_t(options.fileSizeLimit)};
            setrlimit(RLIMIT_FSIZE, &limit);
            signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead
        }
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    ChildResult result;
    const auto end = std::chrono::steady_clock::now() +
                     std::chrono::milliseconds(long(options.seconds * 1000));
    int status = 0;
    rusage usage{};
    for (;;) {
        pid_t done = wait4(pid, &status, WNOHANG, &usage);
        if (done == pid) {
            break;
        }
        const long long rss = ProcValue(pid, "status", "VmRSS:");
        if (rss > options.memoryCapKb) {
            result.overMemory = true;
            kill(pid, SIGKILL);
        } else if (std::chrono::steady_clock::now() > end) {
            result.overTime = true;
            kill(pid, SIGKILL);
        } else if (options.whileRunning) {
            options.whileRunning(pid);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    result.peakKb = usage.ru_maxrss;
    if (WIFEXITED(status)) {
        result.code = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.signal = WTERMSIG(status);
    }
    result.out = ReadAll(outPath);
    result.err = ReadAll(errPath);
    return result;
}

}  // namespace k57::test
