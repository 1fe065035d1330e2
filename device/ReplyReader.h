#pragma once

#include <cstdint>
#include <memory>

#include "AbstractMessage.h"
#include "Clock.h"
#include "TextLink.h"

namespace k57 {

// Assembles one reply frame from the link within a time-out. The first four
// bytes after the request are taken as the reply's header; there is no
// resynchronisation. A frame announcing more than the largest payload is
// abandoned: the wait then runs out its time without reading further.
class ReplyReader {
  public:
    static constexpr uint16_t kMaxPayload = 1016;
    enum class State { Idle, Header, Payload, Trailer, Complete, Abandoned };

    ReplyReader(TextLink& link, Clock& clock) : link_(link), clock_(clock) {}

    // Forgets any frame in progress; the next Wait starts a new one.
    void Reset() { state_ = State::Idle; }
    State state() const { return state_; }
    // Waits for one frame of the `expected` code: 1 with the reply, -2 when
    // none completes within `timeoutMs`, -3 when it cannot be decoded or is
    // of another type.
    int Wait(int16_t expected, uint32_t timeoutMs,
             std::unique_ptr<orvan::tms::messages::AbstractMessage>& reply);

  private:
    bool Fill(uint8_t* area, int need);
    bool Idle(uint32_t left, bool forInput);
    void Start(State next);

    TextLink& link_;
    Clock& clock_;
    State state_ = State::Idle;
    uint32_t waitStart_ = 0;
    uint8_t frameBytes_[4] = {};  // header, then trailer
    uint16_t typeWord_ = 0;
    uint16_t payloadLength_ = 0;
    int filled_ = 0;
    uint8_t receiveArea_[1024] = {};
};

}  // namespace k57
