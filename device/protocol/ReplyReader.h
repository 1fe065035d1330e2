#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "AbstractMessage.h"
#include "Clock.h"
#include "ByteChannel.h"

namespace k57 {

// Assembles one reply frame from the link within a time-out. The first four
// bytes after the request are taken as the reply's header; there is no
// resynchronisation. A frame announcing more than the largest payload is
// abandoned: the wait then runs out its time without reading further.
class ReplyReader {
  public:
    static constexpr uint16_t kMaxPayload = 1016;
    enum class State { Idle, Header, Payload, Trailer, Complete, Abandoned };

    // The longest real time between two looks at `abandoned`.
    static constexpr uint32_t kPollSliceMs = 50;

    ReplyReader(ByteChannel& channel, Clock& clock, const std::atomic<bool>& abandoned)
        : channel_(channel), clock_(clock), abandoned_(abandoned) {}

    // Forgets any frame in progress; the next Wait starts a new one.
    void Reset() { state_ = State::Idle; }
    State state() const { return state_; }
    // Waits for one frame of the `expected` code: 1 with the reply, -2 when
    // none completes within `timeoutMs` (or the wait is abandoned), -3 when
    // it cannot be decoded or is of another type; `received` then says what
    // came.
    int Wait(int16_t expected, uint32_t timeoutMs,
             std::unique_ptr<orvan::tms::messages::AbstractMessage>& reply);
    struct Received {
        int type = 0;  // without the flag bit
        int length = 0;
        bool decoded = false;
    };
    const Received& received() const { return received_; }

  private:
    bool Fill(uint8_t* area, int need);
    bool Idle(uint32_t left, bool forInput);
    void Start(State next);
    // The frame's bytes read so far in this wait, for the trace.
    std::vector<uint8_t> SoFar() const;
    // Records why the wait ended without a reply.
    void TraceNoReply(uint32_t timeoutMs, bool hungUp) const;

    ByteChannel& channel_;
    Clock& clock_;
    const std::atomic<bool>& abandoned_;
    Received received_;
    State state_ = State::Idle;
    uint32_t waitStart_ = 0;
    uint8_t frameBytes_[4] = {};  // header, then trailer
    uint16_t typeWord_ = 0;
    uint16_t payloadLength_ = 0;
    int filled_ = 0;
    uint8_t receiveArea_[1024] = {};
};

}  // namespace k57
