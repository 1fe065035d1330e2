#include "ReplyReader.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "FrameTrace.h"
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

std::vector<uint8_t> ReplyReader::SoFar() const {
    std::vector<uint8_t> bytes;
    if (state_ == State::Header) {
        return std::vector<uint8_t>(frameBytes_, frameBytes_ + filled_);
    }
    bytes = {uint8_t(typeWord_), uint8_t(typeWord_ >> 8), uint8_t(payloadLength_),
             uint8_t(payloadLength_ >> 8)};
    if (state_ == State::Payload) {
        bytes.insert(bytes.end(), receiveArea_, receiveArea_ + filled_);
    } else if (state_ == State::Trailer || state_ == State::Complete) {
        bytes.insert(bytes.end(), receiveArea_, receiveArea_ + payloadLength_);
        bytes.insert(bytes.end(), frameBytes_, frameBytes_ + (state_ == State::Complete ? 4 : filled_));
    }
    return bytes;
}

void ReplyReader::TraceNoReply(uint32_t timeoutMs, bool hungUp) const {
    if (!frametrace::TraceOn()) {
        return;
    }
    std::vector<uint8_t> bytes = SoFar();
    if (!bytes.empty() && state_ != State::Abandoned) {
        frametrace::Partial(TraceEntry::Direction::In, bytes.data(), bytes.size(),
                            "the rest never came");
    }
    std::string why = abandoned_.load() ? "wait abandoned"
                      : hungUp          ? "the port delivers nothing more (hung up)"
                      : "no reply within " + std::to_string(timeoutMs) + " ms";
    if (bytes.empty()) {
        why += ", nothing received";
    }
    frametrace::Note(why, kNoReply);
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
                if (payloadLength_ > kMaxPayload) {
                    if (frametrace::TraceOn()) {
                        frametrace::Partial(TraceEntry::Direction::In, frameBytes_, 4,
                                            "announces " + std::to_string(payloadLength_) +
                                                " bytes, more than " + std::to_string(kMaxPayload) +
                                                ": frame abandoned, the rest left unread");
                    }
                    Start(State::Abandoned);
                } else {
                    Start(State::Payload);
                }
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
            case State::Complete: {
                reply =
                    orvan::tms::messages::createMessage(typeWord_, receiveArea_, payloadLength_);
                int result = reply && reply->getType() == expected ? kReplyOk : kBadReply;
                if (frametrace::TraceOn()) {
                    std::vector<uint8_t> frame = SoFar();
                    std::string remark =
                        result == kReplyOk ? ""
                        : reply            ? std::string("expected ") +
                                      frametrace::MessageName(expected) + " (" +
                                      std::to_string(expected) + ")"
                                           : "cannot be decoded";
                    frametrace::Received(frame.data(), frame.size(), result, remark);
                }
                state_ = State::Idle;
                if (result == kReplyOk) {
                    return kReplyOk;
                }
                received_ = {typeWord_ & 0x7FFF, payloadLength_, reply != nullptr};
                reply.reset();
                return kBadReply;
            }
            default:
                more = Idle(left, false);
                break;
        }
        if (!more) {
            TraceNoReply(timeoutMs, true);
            state_ = State::Idle;
            return kNoReply;
        }
    }
    TraceNoReply(timeoutMs, false);
    state_ = State::Idle;
    return kNoReply;
}

}  // namespace k57
