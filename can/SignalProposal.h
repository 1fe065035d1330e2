#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "CanFrameLog.h"

namespace k57 {

// What a proposed signal seems to be from how its bits move.
enum class SignalKind {
    Counter,   // steps by the same amount every frame, wrapping round
    Checksum,  // a whole first or last byte that changes nearly every frame at random
    Constant,  // never changed
    Toggle,    // one bit that changed
    Value,     // anything else that changed
};
// "counter", "checksum", "constant", "toggle", "value".
const char* KindName(SignalKind kind);

struct ProposedSignal {
    // As a DBC file writes it: big-endian (Motorola) names its most
    // significant bit in the sawtooth numbering, little-endian (Intel) its
    // least significant; bit n of byte b is 8 * b + n either way.
    int start = 0;
    int length = 1;
    bool bigEndian = false;
    // A value that steps across zero as a two's complement number does;
    // false without that evidence.
    bool isSigned = false;
    SignalKind kind = SignalKind::Value;
};

struct ProposedMessage {
    uint32_t id = 0;
    bool extended = false;
    int dlc = 0;  // the longest frame seen
    uint64_t frames = 0;
    std::vector<ProposedSignal> signalList;  // in the frame's order
};

// The signals of each identifier guessed from a capture alone, with no
// database: a value's least significant bit flips most and each bit above
// it about half as often, so within a signal the flip rate grows steadily
// towards its least significant bit and falls where the next signal's top
// begins. Bits that flip together at a carry belong together; a bit that
// flips on its own beside a slow one does not. Which way the rates grow
// across bytes tells the byte order: the one that explains the bits with
// fewer signals is the message's. Frames are added in time order.
class SignalProposal {
  public:
    // Frames kept per identifier for the counters' test; the flips of later
    // ones are still counted.
    static constexpr size_t kKeptFrames = 1'000'000;

    void Add(const LoggedFrame& frame);
    void Clear();
    // Every identifier with a data frame, standard before extended, by id.
    std::vector<ProposedMessage> Messages() const;

  private:
    struct Identifier {
        uint32_t id = 0;
        bool extended = false;
        int dlc = 0;
        uint64_t frames = 0;
        uint64_t last = 0;            // the previous frame's bytes, byte 0 lowest
        uint32_t flips[64] = {};      // bit 8 * byte + n, n from the least significant
        uint32_t withBelow[64] = {};  // bit i and bit i - 1 flipped together
        uint32_t crossBig[8] = {};    // bit 8b and bit 8b + 15 flipped together
        std::vector<uint64_t> kept;   // the frames' bytes, for the counters
    };
    ProposedMessage Propose(const Identifier& ident) const;

    std::vector<Identifier> identifiers_;
    std::unordered_map<uint64_t, size_t> index_;
};

}  // namespace k57
