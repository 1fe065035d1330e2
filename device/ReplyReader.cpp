// The session's reply reader: assembles one frame from the input stream
// within the reply time-out. The first four bytes after the request are
// taken as the reply's header; there is no resynchronisation.

#include <chrono>
#include <thread>

#include "Clock.h"
#include "MessageFactory.h"
#include "T110_Device.h"

using orvan::tms::messages::createMessage;

namespace {

enum ReceiveState { kIdle, kHeader, kPayload, kTrailer, kComplete };

}  // namespace

// Takes what is waiting, never more than is missing, so a read never has
// to wait for bytes that have not arrived.
bool T110_Device::Fill(uint8_t* area, int need) {
    int missing = need - filled_;
    int waiting = input_.available();
    int n = waiting < missing ? waiting : missing;
    if (n > 0 && input_.read(area + filled_, n) == n) {
        filled_ += n;
    }
    return filled_ == need;
}

// Waits for the next bytes, or, for an abandoned frame, for the time-out;
// false when the port can deliver nothing more.
bool T110_Device::Idle(uint32_t left, bool forInput) {
    if (forInput) {
        return port_.WaitForInput(left);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(left));
    return true;
}

int T110_Device::WaitReply(int16_t expected, std::unique_ptr<Message>& reply) {
    reply.reset();
    if (receiveState_ == kIdle) {
        waitStart_ = k57::TickMs();
        receiveState_ = kHeader;
        filled_ = 0;
    }
    for (uint32_t elapsed; (elapsed = k57::TickMs() - waitStart_) < replyTimeout_;) {
        uint32_t left = replyTimeout_ - elapsed;
        bool more = true;
        switch (receiveState_) {
            case kHeader:
                if (!Fill(frameBytes_, 4)) {
                    more = Idle(left, true);
                    break;
                }
                payloadLength_ = uint16_t(frameBytes_[2] | frameBytes_[3] << 8);
                filled_ = 0;
                // An oversized frame is abandoned; the wait runs out its time.
                receiveState_ = payloadLength_ > kMaxReplyPayload ? kIdle : kPayload;
                typeWord_ = uint16_t(frameBytes_[0] | frameBytes_[1] << 8);
                break;
            case kPayload:
                if (!Fill(receiveArea_, payloadLength_)) {
                    more = Idle(left, true);
                    break;
                }
                filled_ = 0;
                receiveState_ = kTrailer;
                break;
            case kTrailer:
                if (!Fill(frameBytes_, 4)) {
                    more = Idle(left, true);
                    break;
                }
                receiveState_ = kComplete;
                break;
            case kComplete:
                receiveState_ = kIdle;
                reply = createMessage(typeWord_, receiveArea_, payloadLength_);
                if (reply && reply->getType() == expected) {
                    return 1;
                }
                reply.reset();
                return -3;
            default:
                more = Idle(left, false);
                break;
        }
        if (!more) {
            break;
        }
    }
    receiveState_ = kIdle;
    return -2;
}
