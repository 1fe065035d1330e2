#include "FaultStage.h"

#include <algorithm>

#include "Messages.h"

using namespace orvan::tms::messages;

namespace k57::sim {

uint64_t FaultStage::WireTimeUs(size_t bytes, const UnitOptions& options) const {
    return options.byteRate ? bytes * 1'000'000ull / options.byteRate : 0;
}

void FaultStage::NoteInput(size_t n, uint64_t nowUs, const UnitOptions& options) {
    inWireFreeUs_ = std::max(inWireFreeUs_, nowUs) + WireTimeUs(n, options);
}

// The frame as the fault makes it; empty for no reply at all.
Bytes FaultStage::Transform(const Outgoing& reply, const UnitOptions& options) {
    using Fault = UnitOptions::Fault;
    // A hung-up unit answers nothing more, once it has acknowledged its
    // share of fragments.
    if (options.hangUpAfterFragments >= 0 && fragmentsAcked_ >= options.hangUpAfterFragments) {
        return {};
    }
    if (reply.code == kSettings && options.hangUpOnSettingsWrite) {
        hungUp_ = true;
    }
    if (hungUp_) {
        return {};
    }
    if (reply.code == kCommitUpdate && options.refuseCommits) {
        return {};
    }
    bool applies = options.faultCodes.empty() || options.faultCodes.count(reply.code);
    Fault fault = applies ? options.fault : Fault::None;
    uint16_t type = uint16_t((reply.bytes[0] | reply.bytes[1] << 8) & 0x7FFF);
    switch (fault) {
        case Fault::Silent:
            return {};
        case Fault::WrongType:
            if (type == kIdInfo) {
                TextMessage other("K57BT");
                return EncodedFrame(other);
            } else {
                IdInfoMessage other(1);
                return EncodedFrame(other);
            }
        case Fault::Undecodable:
            // A text frame whose count (5) disagrees with its length (3).
            return {0x96, 0x00, 0x03, 0x00, 0x05, 0x00, 'K', 0, 0, 0, 0};
        case Fault::Oversize: {
            Bytes frame = {0x0B, 0x00, 0xF9, 0x03};  // N = 1017
            frame.resize(4 + 1017 + 4);
            return frame;
        }
        default:
            if (reply.code == kDataFragment) {
                ++fragmentsAcked_;
            } else if (reply.code == kBeginFirmwareUpdate || reply.code == kBeginWaveUpdate) {
                fragmentsAcked_ = 0;
            }
            return reply.bytes;
    }
}

std::vector<Piece> FaultStage::Plan(const Outgoing& reply, uint64_t nowUs,
                                    const UnitOptions& options) {
    std::vector<Piece> pieces;
    Bytes frame = Transform(reply, options);
    size_t piece = options.dribbleBytes > 0 ? size_t(options.dribbleBytes) : frame.size();
    uint64_t at = std::max(nowUs, inWireFreeUs_);
    for (size_t from = 0; from < frame.size(); from += piece) {
        size_t n = std::min(frame.size() - from, piece);
        if (from > 0) {
            at += uint64_t(options.dribblePauseMs) * 1000;
        }
        outWireFreeUs_ = std::max(outWireFreeUs_, at) + WireTimeUs(n, options);
        at = outWireFreeUs_;
        pieces.push_back({at, Bytes(frame.begin() + long(from), frame.begin() + long(from + n))});
    }
    return pieces;
}

}  // namespace k57::sim
