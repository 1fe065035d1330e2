#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace k57::test {

// The longest the GUI thread's event loop went without running a short
// timer, between Start and Longest. Time the thread spent ready to run but
// waiting for a processor is left out where the system tells it (Linux): a
// busy machine delays every program, and that is not the window stalling.
// Time the thread ran, or slept waiting on something, counts.
class StallMeter {
  public:
    explicit StallMeter(int intervalMs) {
        timer_.setInterval(intervalMs);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            qint64 waitedMs = (WaitingNs() - waitedNs_) / 1000000;
            waitedNs_ = WaitingNs();
            longest_ = std::max(longest_, since_.restart() - waitedMs);
        });
    }
    void Start() {
        waitedNs_ = WaitingNs();
        since_.start();
        timer_.start();
    }
    qint64 Longest() {
        timer_.stop();
        return longest_;
    }

  private:
    // Nanoseconds the calling thread has waited on the run queue so far;
    // 0 where that is not known.
    static long long WaitingNs() {
        long long running = 0, waiting = 0;
#ifdef __linux__
        if (std::FILE* f = std::fopen("/proc/thread-self/schedstat", "r")) {
            if (std::fscanf(f, "%lld %lld", &running, &waiting) != 2) {
                waiting = 0;
            }
            std::fclose(f);
        }
#endif
        return waiting;
    }

    QTimer timer_;
    QElapsedTimer since_;
    qint64 longest_ = 0;
    long long waitedNs_ = 0;
};

}  // namespace k57::test
