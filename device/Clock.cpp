#include "Clock.h"

#include <chrono>

namespace k57 {

uint32_t TickMs() {
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace k57
