#include "Clock.h"

#include <chrono>

namespace k57 {

uint32_t TickMs() {
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

namespace {

class TickClock : public Clock {
  public:
    uint32_t NowMs() override { return TickMs(); }
};

}  // namespace

Clock& SystemClock() {
    static TickClock clock;
    return clock;
}

}  // namespace k57
