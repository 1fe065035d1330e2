#pragma once

#include <chrono>
#include <memory>

#include "Clock.h"
#include "SessionFactory.h"
#include "T110_Device.h"

namespace k57::test {

// A clock that runs `factor` times faster than real time, so that a test of
// a failure path waits a fraction of the real reply time-outs.
class ScaledClock : public Clock {
  public:
    explicit ScaledClock(uint32_t factor) : factor_(factor) {}
    uint32_t NowMs() override {
        using namespace std::chrono;
        auto us = duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
        return uint32_t(uint64_t(us) * factor_ / 1000);
    }
    uint32_t RealMs(uint32_t ms) override { return (ms + factor_ - 1) / factor_; }

  private:
    uint64_t factor_;
};

// Ten times faster: a silent unit costs 0.4 s instead of 4 s.
inline ScaledClock& QuickClock() {
    static ScaledClock clock(10);
    return clock;
}

inline std::unique_ptr<T110_Device> QuickSession() {
    return std::make_unique<T110_Device>(QuickClock());
}

inline SessionFactory QuickSessions() {
    return [] { return std::unique_ptr<DeviceInterface>(QuickSession()); };
}

}  // namespace k57::test
