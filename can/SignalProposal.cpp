#include "SignalProposal.h"

#include <algorithm>
#include <cmath>

namespace k57 {

namespace {

constexpr uint64_t kByteBottoms = 0x0101010101010101ull;

uint64_t Bytes(const LoggedFrame& frame) {
    uint64_t bytes = 0;
    for (int i = 0; i < std::min<int>(frame.dlc, 8); ++i) {
        bytes |= uint64_t(frame.data[i]) << (8 * i);
    }
    return bytes;
}

// A run of bits, most significant first, each numbered 8 * byte + n.
using Bits = std::vector<int>;

// One identifier's flip counts as the segmentation reads them.
struct Heat {
    const uint32_t* flips;
    const uint32_t* withBelow;
    const uint32_t* crossBig;
    uint64_t transitions;

    double Rate(int bit) const { return double(flips[bit]) / double(transitions); }
    // How often `lower`, the next bit down from `upper` in one of the byte
    // orders, flipped in the same frame as `upper`.
    uint32_t Together(int upper, int lower) const {
        return upper == lower + 1 ? withBelow[upper] : crossBig[upper / 8];
    }
    // Whether the next bit down in a byte order starts another signal.
    bool Boundary(int upper, int lower) const {
        double above = flips[upper], below = flips[lower];
        // Rates only grow towards a signal's least significant bit: a clear
        // fall, beyond the counts' own scatter, is the next signal's top.
        // Below a busy bit that is itself busy is a value's noisy bottom,
        // where a steady step leaves rates in a pattern rather than a slope.
        if (below < 0.9 * above - 2 * std::sqrt(above) - 1 && Rate(lower) < 0.3) {
            return true;
        }
        // Each bit flips about twice as often as the one above it; far more
        // is a busy signal beside a quiet one.
        if (below > 8 * above + 8) {
            return true;
        }
        // Where the bits are not yet noise, a carry into `upper` flips
        // `lower` too; an unrelated bit flips with it only by chance.
        return above >= 4 && Rate(lower) < 0.3 && Together(upper, lower) < 0.4 * above;
    }
};

// The changing bits of the first `dlc` bytes cut into signals, walking
// from the most significant bit of the frame's value in `bigEndian`
// order: byte 0 first for big-endian, the last byte first for little,
// each byte from its top bit down. Bits in `skip` and bits that never
// flipped end a signal.
std::vector<Bits> Segments(const Heat& heat, int dlc, bool bigEndian, uint64_t skip) {
    std::vector<Bits> segments;
    Bits current;
    auto close = [&] {
        if (!current.empty()) {
            segments.push_back(std::move(current));
            current.clear();
        }
    };
    for (int k = 0; k < dlc; ++k) {
        int byte = bigEndian ? k : dlc - 1 - k;
        for (int n = 7; n >= 0; --n) {
            int bit = 8 * byte + n;
            if (heat.flips[bit] == 0 || (skip >> bit & 1)) {
                close();
                continue;
            }
            if (!current.empty() && heat.Boundary(current.back(), bit)) {
                close();
            }
            current.push_back(bit);
        }
    }
    close();
    return segments;
}

// The bits' value in each kept frame, most significant first.
uint64_t ValueOf(const Bits& bits, uint64_t bytes) {
    uint64_t value = 0;
    for (int bit : bits) {
        value = (value << 1) | (bytes >> bit & 1);
    }
    return value;
}

// Nine steps in ten the same amount, modulo the signal's range.
bool Counts(const Bits& bits, const std::vector<uint64_t>& kept) {
    if (bits.size() < 2 || bits.size() > 16 || kept.size() < 8) {
        return false;
    }
    const uint64_t mask = (uint64_t(1) << bits.size()) - 1;
    std::vector<uint64_t> steps;
    steps.reserve(kept.size() - 1);
    uint64_t previous = ValueOf(bits, kept[0]);
    for (size_t i = 1; i < kept.size(); ++i) {
        uint64_t value = ValueOf(bits, kept[i]);
        steps.push_back((value - previous) & mask);
        previous = value;
    }
    // The majority step, if there is one (Boyer-Moore), then its share.
    uint64_t candidate = 0;
    size_t votes = 0;
    for (uint64_t step : steps) {
        if (votes == 0) {
            candidate = step;
        }
        votes += step == candidate ? 1 : size_t(-1);
    }
    size_t same = size_t(std::count(steps.begin(), steps.end(), candidate));
    return candidate != 0 && same * 10 >= steps.size() * 9;
}

// A value whose top bit flips where it steps across zero, as a two's
// complement number does: the step goes up while the top bit falls (-1 to
// 0), or down while it rises. An unsigned value's top bit flips the other
// way, in the middle of its range, and it never wraps round its ends.
bool LooksSigned(const Bits& bits, const std::vector<uint64_t>& kept) {
    const size_t n = bits.size();
    if (n < 4 || n > 63 || kept.size() < 2) {
        return false;
    }
    const uint64_t range = uint64_t(1) << n;
    size_t acrossZero = 0, acrossMiddle = 0;
    uint64_t previous = ValueOf(bits, kept[0]);
    for (size_t i = 1; i < kept.size(); ++i) {
        uint64_t value = ValueOf(bits, kept[i]);
        uint64_t up = (value - previous) & (range - 1);
        bool topFlipped = (value ^ previous) >> (n - 1) & 1;
        // Only small steps say which boundary was crossed.
        if (topFlipped && (up < range / 4 || up > range - range / 4)) {
            bool rose = value >> (n - 1) & 1;
            bool upwards = up < range / 2;
            ++(rose == upwards ? acrossMiddle : acrossZero);
        }
        previous = value;
    }
    return acrossZero >= 2 && acrossZero > 2 * acrossMiddle;
}

// Where a signal of `bits` begins as a DBC file writes it.
ProposedSignal Signal(const Bits& bits, bool bigEndian, SignalKind kind) {
    ProposedSignal signal;
    signal.start = bigEndian ? bits.front() : bits.back();
    signal.length = int(bits.size());
    signal.bigEndian = bigEndian;
    signal.kind = kind;
    return signal;
}

// Where the bits begin in the frame read byte by byte from the top bit:
// the order a skeleton lists its signals in.
int FramePlace(const Bits& bits) {
    int place = 64;
    for (int bit : bits) {
        place = std::min(place, 8 * (bit / 8) + 7 - bit % 8);
    }
    return place;
}

}  // namespace

const char* KindName(SignalKind kind) {
    switch (kind) {
        case SignalKind::Counter: return "counter";
        case SignalKind::Checksum: return "checksum";
        case SignalKind::Constant: return "constant";
        case SignalKind::Toggle: return "toggle";
        case SignalKind::Value: return "value";
    }
    return "value";
}

void SignalProposal::Clear() {
    identifiers_.clear();
    index_.clear();
}

void SignalProposal::Add(const LoggedFrame& frame) {
    if (frame.remote) {
        return;
    }
    auto [slot, added] = index_.try_emplace(frame.Key(), identifiers_.size());
    if (added) {
        identifiers_.emplace_back();
        identifiers_.back().id = frame.id;
        identifiers_.back().extended = frame.extended;
    }
    Identifier& ident = identifiers_[slot->second];
    uint64_t bytes = Bytes(frame);
    ident.dlc = std::max<int>(ident.dlc, std::min<int>(frame.dlc, 8));
    if (ident.frames++ > 0) {
        uint64_t changed = bytes ^ ident.last;
        for (uint64_t x = changed; x; x &= x - 1) {
            ++ident.flips[__builtin_ctzll(x)];
        }
        for (uint64_t x = changed & (changed >> 1); x; x &= x - 1) {
            ++ident.withBelow[__builtin_ctzll(x) + 1];
        }
        for (uint64_t x = changed & (changed >> 15) & kByteBottoms; x; x &= x - 1) {
            ++ident.crossBig[__builtin_ctzll(x) / 8];
        }
    }
    ident.last = bytes;
    if (ident.kept.size() < kKeptFrames) {
        ident.kept.push_back(bytes);
    }
}

std::vector<ProposedMessage> SignalProposal::Messages() const {
    std::vector<ProposedMessage> messages;
    for (const Identifier& ident : identifiers_) {
        if (ident.dlc > 0) {
            messages.push_back(Propose(ident));
        }
    }
    std::sort(messages.begin(), messages.end(), [](const auto& a, const auto& b) {
        return std::make_pair(a.extended, a.id) < std::make_pair(b.extended, b.id);
    });
    return messages;
}

ProposedMessage SignalProposal::Propose(const Identifier& ident) const {
    ProposedMessage message;
    message.id = ident.id;
    message.extended = ident.extended;
    message.dlc = ident.dlc;
    message.frames = ident.frames;
    Heat heat{ident.flips, ident.withBelow, ident.crossBig, std::max<uint64_t>(ident.frames - 1, 1)};
    const int dlc = ident.dlc;

    // A checksum: a whole end byte whose every bit flips about every other
    // frame. Taken out first, it cannot pass for the noisy bottom of a
    // value beside it.
    uint64_t checksums = 0;
    if (dlc >= 2 && ident.frames >= 16) {
        for (int byte : {0, dlc - 1}) {
            bool random = true;
            for (int n = 0; n < 8; ++n) {
                double rate = heat.Rate(8 * byte + n);
                random = random && rate >= 0.35 && rate <= 0.65;
            }
            if (random) {
                checksums |= uint64_t(0xFF) << (8 * byte);
            }
        }
    }

    // The byte order that needs fewer signals to explain the bits; a tie
    // (no signal crosses a byte either way) is little-endian's.
    std::vector<Bits> little = Segments(heat, dlc, false, checksums);
    std::vector<Bits> big = Segments(heat, dlc, true, checksums);
    const bool bigEndian = big.size() < little.size();
    std::vector<std::pair<int, ProposedSignal>> found;
    auto add = [&](const Bits& bits, SignalKind kind) {
        // Within one byte both orders name the same bits: the message's.
        found.emplace_back(FramePlace(bits), Signal(bits, bigEndian, kind));
    };
    for (const Bits& bits : bigEndian ? big : little) {
        add(bits, bits.size() == 1           ? SignalKind::Toggle
                  : Counts(bits, ident.kept) ? SignalKind::Counter
                                             : SignalKind::Value);
        found.back().second.isSigned =
            found.back().second.kind == SignalKind::Value && LooksSigned(bits, ident.kept);
    }
    for (int byte = 0; byte < dlc; ++byte) {
        if (checksums >> (8 * byte) & 1) {
            Bits bits = {8 * byte + 7, 8 * byte + 6, 8 * byte + 5, 8 * byte + 4,
                         8 * byte + 3, 8 * byte + 2, 8 * byte + 1, 8 * byte};
            add(bits, SignalKind::Checksum);
            continue;
        }
        // Bits that never changed, one constant for each run in a byte.
        Bits run;
        for (int n = 7; n >= -1; --n) {
            if (n >= 0 && ident.flips[8 * byte + n] == 0) {
                run.push_back(8 * byte + n);
            } else if (!run.empty()) {
                add(run, SignalKind::Constant);
                run.clear();
            }
        }
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [place, signal] : found) {
        message.signalList.push_back(signal);
    }
    return message;
}

}  // namespace k57
