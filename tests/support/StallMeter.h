#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>

namespace k57::test {

// The longest the GUI thread's event loop went without running a short
// timer, between Start and Longest.
class StallMeter {
  public:
    explicit StallMeter(int intervalMs) {
        timer_.setInterval(intervalMs);
        QObject::connect(&timer_, &QTimer::timeout,
                         [this] { longest_ = std::max(longest_, since_.restart()); });
    }
    void Start() {
        since_.start();
        timer_.start();
    }
    qint64 Longest() {
        timer_.stop();
        return longest_;
    }

  private:
    QTimer timer_;
    QElapsedTimer since_;
    qint64 longest_ = 0;
};

}  // namespace k57::test
