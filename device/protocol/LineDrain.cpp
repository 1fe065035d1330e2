#include "LineDrain.h"

#include <algorithm>

#include "FrameTrace.h"
#include "ReplyReader.h"

namespace k57 {

size_t DrainLine(ByteChannel& channel, Clock& clock, uint32_t quietMs, uint32_t mostMs,
                 const std::atomic<bool>& abandoned, const char* why) {
    uint8_t scratch[1024];
    size_t dropped = 0;
    uint32_t start = clock.NowMs();
    uint32_t lastByte = start;
    while (!abandoned.load()) {
        int waiting = channel.Available();
        if (waiting > 0) {
            int n = std::min(waiting, int(sizeof scratch));
            if (channel.Read(scratch, n) != n) {
                break;
            }
            frametrace::Bytes(TraceEntry::Direction::In, why, scratch, size_t(n));
            dropped += size_t(n);
            lastByte = clock.NowMs();
            if (lastByte - start >= mostMs) {
                break;
            }
            continue;
        }
        uint32_t now = clock.NowMs();
        uint32_t quiet = now - lastByte;
        if (quiet >= quietMs || now - start >= mostMs) {
            break;
        }
        uint32_t wait = std::min(quietMs - quiet, mostMs - (now - start));
        if (!channel.WaitForInput(std::min(clock.RealMs(wait), ReplyReader::kPollSliceMs))) {
            break;
        }
    }
    return dropped;
}

}  // namespace k57
