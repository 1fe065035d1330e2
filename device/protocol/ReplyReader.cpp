#include "ReplyReader.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "MessageFactory.h"
#include "ResultCodes.h"

namespace k57 {

using orvan::tms::messages::AbstractMessage;

// Takes what is waiting, never more than is missing, so a read never has
// to wait for bytes that have not arrived.
bool ReplyReader::Fill(uint8_t* area, int need) {
    int missing = need - filled_;
    int waiting = channel_.Available();
    int n = waiting < missing ? waiting : missing;
    if (n > 0 && channel_.Read(area + filled_, n) == n) {
        filled_ += n;
    }
    return filled_ == need;
}

// Waits for the next bytes, or, for an abandoned frame, for the time-out;
// false when the port can deliver nothing more.
bool ReplyReader::Idle(uint32_t left, bool forInput) {
    uint32_t real = std::min(clock_.RealMs(left), kPollSliceMs);
    if (forInput) {
        return channel_.WaitForInput(real);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(real));
    return true;
}

void ReplyReader::Start(State next) {
    state_ = next;
    filled_ = 0;
}

int ReplyReader::Wait(int16_t expected, uint32_t timeoutMs,
                      std::unique_ptr<AbstractMessage>& reply) {
    reply.reset();
    if (state_ == State::Idle) {
        waitStart_ = clock_.NowMs();
        Start(State::Header);
    }
    for (uint32_t elapsed;
         (elapsed = clock_.NowMs() - waitStart_) < timeoutMs && !abandoned_.load();) {
        uint32_t left = timeoutMs - elapsed;
        bool more = true;
        switch (state_) {
            case State::Header:
                if (!Fill(frameBytes_, 4)) {
                    more = Idle(left, true);
                    break;
                }
                typeWord_ = uint16_t(frameBytes_[0] | frameBytes_[1] << 8);
                payloadLength_ = uint16_t(frameBytes_[2] | frameBytes_[3] << 8);
                Start(payloadLength_ > kMaxPayload ? State::Abandoned : State::Payload);
                break;
            case State::Payload:
                if (!Fill(receiveArea_, payloadLength_)) {
                    more = Idle(left, true);
                    break;
                }
                Start(State::Trailer);
                break;
            case State::Trailer:
                if (!Fill(frameBytes_, 4)) {
                    more = Idle(left, true);
                    break;
                }
                state_ = State::Complete;
                break;
            case State::Complete:
                state_ = State::Idle;
                reply =
                    orvan::tms::messages::createMessage(typeWord_, receiveArea_, payloadLength_);
                if (reply && reply->getType() == expected) {
                    return kReplyOk;
                }
                received_ = {typeWord_ & 0x7FFF, payloadLength_, reply != nullptr};
                reply.reset();
                return kBadReply;
            default:
                more = Idle(left, false);
                break;
        }
        if (!more) {
            break;
        }
    }
    state_ = State::Idle;
    return kNoReply;
}

}  // namespace k57
