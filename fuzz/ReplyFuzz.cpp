// The reply reader and the message factory on whatever a unit might send:
// noise, false headers and foreign frames are let go, and whatever the
// bytes, a wait ends with its reply of the expected type or without one.

#include <atomic>
#include <cstdlib>

#include "DeviceInterface.h"
#include "MemoryChannel.h"
#include "ReplyReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    static const int16_t kTypes[] = {11, 150, 191, 193, 194, 201};
    int16_t expected = kTypes[data[0] % 6];
    k57::fuzz::MemoryChannel link(data + 2, size - 2, data[1]);
    k57::fuzz::SteppingClock clock;
    std::atomic<bool> abandoned{false};
    k57::ReplyReader reader(link, clock, abandoned);
    // Replies one after another, as a session reads them, until the bytes run out.
    for (int i = 0; i < 64 && !link.Exhausted(); ++i) {
        std::unique_ptr<orvan::tms::messages::AbstractMessage> reply;
        reader.Reset();
        int result = reader.Wait(expected, 4000, reply);
        if (result == k57::kReplyOk) {
            if (!reply || reply->getType() != expected) {
                std::abort();
            }
        } else if ((result != k57::kNoReply && result != k57::kBadReply &&
                    result != k57::kLineLost) ||
                   reply) {
            std::abort();
        }
    }
    return 0;
}
