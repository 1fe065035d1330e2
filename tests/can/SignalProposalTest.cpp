// Signals proposed from hand-made traffic whose layout is known, and the
// skeleton DBC they make read back by the project's own DBC reader.

#include <gtest/gtest.h>

#include <algorithm>

#include "Parse.h"
#include "SignalProposal.h"
#include "SkeletonDbc.h"

namespace {

using k57::ProposedMessage;
using k57::ProposedSignal;
using k57::SignalKind;

// A value sweeping its whole range up and down with a little jitter, as a
// sensor reading does.
uint64_t Sweep(int frame, int length, uint32_t& noise) {
    const int64_t top = (int64_t(1) << length) - 1;
    const int64_t period = 900;
    int64_t phase = frame % (2 * period);
    int64_t value = (phase < period ? phase : 2 * period - phase) * top / period;
    // Jitter of about a step's size either way, so that the bits below
    // the step come out as noise, not a pattern of the step.
    const int64_t jitter = top / period + 3;
    noise = noise * 1103515245u + 12345u;
    value += int64_t(noise >> 8) % (2 * jitter + 1) - jitter;
    return uint64_t(std::clamp<int64_t>(value, 0, top));
}

void PutLittle(uint8_t* data, int start, int length, uint64_t value) {
    for (int i = 0; i < length; ++i) {
        int bit = start + i;
        data[bit / 8] = uint8_t((data[bit / 8] & ~(1 << bit % 8)) | ((value >> i & 1) << bit % 8));
    }
}

k57::LoggedFrame Frame(uint32_t id, int n, const uint8_t* data) {
    k57::LoggedFrame frame{1'000'000 + int64_t(n) * 10'000, id, false, false, 8, {}};
    std::copy(data, data + 8, frame.data);
    return frame;
}

// 0x123: a 12-bit little-endian value in bits 4-15 over the bottom of
// byte 0 that never changes, a counter in byte 2's low nibble, a toggle
// at bit 24, a constant byte 0x5A, and a checksum as the last byte.
// 0x3B4: a 16-bit big-endian value in bytes 2 and 3, a toggle at the top
// of byte 5 over a 7-bit value, a signed byte going either side of zero.
std::vector<ProposedMessage> ProposeKnownTraffic(int frames) {
    k57::SignalProposal proposal;
    uint32_t noise = 1, checksum = 7;
    uint8_t toggle = 0;
    for (int n = 0; n < frames; ++n) {
        uint8_t a[8] = {};
        PutLittle(a, 4, 12, Sweep(n, 12, noise));
        a[2] = uint8_t(n & 0x0F);
        toggle ^= n % 37 == 0;
        a[3] = toggle;
        a[4] = 0x5A;
        checksum = checksum * 1664525u + 1013904223u;
        a[7] = uint8_t(checksum >> 24);
        proposal.Add(Frame(0x123, n, a));

        uint8_t b[8] = {0x11, 0, 0, 0, 0, 0, 0, 0x22};
        uint64_t value = Sweep(n + 300, 16, noise);
        b[2] = uint8_t(value >> 8);
        b[3] = uint8_t(value);
        // A slow toggle right above a 7-bit value's top bit, which flips
        // about as seldom: only how they flip together tells them apart.
        b[5] = uint8_t((n / 400 % 2) << 7 | Sweep(n, 7, noise));
        b[6] = uint8_t(int(Sweep(n + 100, 8, noise)) - 128);  // a signed byte about zero
        proposal.Add(Frame(0x3B4, n, b));
    }
    return proposal.Messages();
}

const ProposedSignal* Has(const ProposedMessage& message, int start, int length, bool big) {
    for (const ProposedSignal& s : message.signalList) {
        if (s.start == start && s.length == length && s.bigEndian == big) {
            return &s;
        }
    }
    return nullptr;
}

std::string Listed(const ProposedMessage& message) {
    std::string text;
    for (const ProposedSignal& s : message.signalList) {
        text += std::to_string(s.start) + "|" + std::to_string(s.length) +
                (s.bigEndian ? "@0 " : "@1 ") + k57::KindName(s.kind) + "\n";
    }
    return text;
}

TEST(SignalProposal, FindsEachKindOfSignalWithItsPlaceAndByteOrder) {
    std::vector<ProposedMessage> messages = ProposeKnownTraffic(3000);
    ASSERT_EQ(messages.size(), 2u);
    const ProposedMessage& a = messages[0];
    ASSERT_EQ(a.id, 0x123u);
    EXPECT_EQ(a.dlc, 8);
    EXPECT_EQ(a.frames, 3000u);
    SCOPED_TRACE(Listed(a));
    struct Expected {
        int start, length;
        SignalKind kind;
    };
    for (Expected e : {Expected{4, 12, SignalKind::Value}, {16, 4, SignalKind::Counter},
                       {24, 1, SignalKind::Toggle}, {32, 8, SignalKind::Constant},
                       {56, 8, SignalKind::Checksum}, {0, 4, SignalKind::Constant}}) {
        const ProposedSignal* found = Has(a, e.start, e.length, false);
        ASSERT_TRUE(found) << e.start << "|" << e.length;
        EXPECT_EQ(found->kind, e.kind) << e.start << "|" << e.length;
        EXPECT_FALSE(found->isSigned);
    }
    // Listed in the frame's order, byte 0 first.
    EXPECT_EQ(a.signalList.front().start, 4);
    EXPECT_EQ(a.signalList.back().kind, SignalKind::Checksum);

    const ProposedMessage& b = messages[1];
    SCOPED_TRACE(Listed(b));
    const ProposedSignal* value = Has(b, 23, 16, true);  // byte 2's top bit, sawtooth
    ASSERT_TRUE(value);
    EXPECT_EQ(value->kind, SignalKind::Value);
    EXPECT_FALSE(value->isSigned);  // its top bit flips in the middle of its range
    const ProposedSignal* signedByte = Has(b, 55, 8, true);
    ASSERT_TRUE(signedByte);
    EXPECT_TRUE(signedByte->isSigned);  // its top bit flips where it crosses zero
    const ProposedSignal* toggle = Has(b, 47, 1, true);
    ASSERT_TRUE(toggle);
    EXPECT_EQ(toggle->kind, SignalKind::Toggle);
    const ProposedSignal* low = Has(b, 46, 7, true);
    ASSERT_TRUE(low);
    // Every other bit never changed: constants, and nothing else.
    for (const ProposedSignal& s : b.signalList) {
        EXPECT_TRUE(&s == value || &s == toggle || &s == low || &s == signedByte ||
                    s.kind == SignalKind::Constant)
            << s.start;
    }
}

TEST(SignalProposal, TooFewFramesOrRemoteFramesProposeNothingThatMoves) {
    k57::SignalProposal proposal;
    uint8_t data[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    proposal.Add(Frame(0x10, 0, data));
    k57::LoggedFrame remote{0, 0x20, false, true, 8, {}};
    proposal.Add(remote);
    std::vector<ProposedMessage> messages = proposal.Messages();
    ASSERT_EQ(messages.size(), 1u);  // the remote frame's identifier carries no data
    EXPECT_EQ(messages[0].signalList.size(), 8u);
    for (const ProposedSignal& s : messages[0].signalList) {
        EXPECT_EQ(s.kind, SignalKind::Constant);
        EXPECT_EQ(s.length, 8);
    }
}

// The skeleton read back: each message with its length, each signal on
// the very bits proposed, whichever the byte order.
TEST(SkeletonDbc, ReadsBackCleanWithTheProposedBits) {
    std::vector<ProposedMessage> messages = ProposeKnownTraffic(2000);
    k57::dbc::ParseResult parsed =
        k57::dbc::Parse(k57::SkeletonDbc(messages), k57::dbc::Encoding::Utf8, "skeleton.dbc");
    for (const auto& diagnostic : parsed.diagnostics) {
        ADD_FAILURE() << diagnostic.ToString();
    }
    ASSERT_EQ(parsed.database.messages.size(), messages.size());
    for (const ProposedMessage& proposed : messages) {
        const k57::dbc::Message* message = parsed.database.Find(proposed.id, proposed.extended);
        ASSERT_TRUE(message);
        EXPECT_EQ(message->name, k57::SkeletonName(proposed.id, false));
        EXPECT_EQ(message->size, proposed.dlc);
        ASSERT_EQ(message->signalList.size(), proposed.signalList.size());
        for (size_t i = 0; i < proposed.signalList.size(); ++i) {
            const ProposedSignal& p = proposed.signalList[i];
            const k57::dbc::Signal& s = message->signalList[i];
            EXPECT_EQ(s.name, message->name + "_S" + std::to_string(i + 1));
            EXPECT_EQ(s.comment, k57::KindName(p.kind));
            EXPECT_EQ(s.isSigned, p.isSigned);
            EXPECT_EQ(s.maximum, double((uint64_t(1) << (p.length - p.isSigned)) - 1));
            EXPECT_EQ(s.minimum, p.isSigned ? -double(uint64_t(1) << (p.length - 1)) : 0.0);
            // All ones in the proposed bits, and only there, read back as
            // the signal's largest value. Big-endian bits go down a byte,
            // then on from the top of the next.
            uint8_t data[8] = {};
            for (int k = 0, bit = p.start; k < p.length; ++k) {
                data[bit / 8] |= uint8_t(1 << bit % 8);
                bit = !p.bigEndian ? bit + 1 : bit % 8 == 0 ? bit + 15 : bit - 1;
            }
            EXPECT_EQ(s.plan.Extract(data), (uint64_t(1) << p.length) - 1) << s.name;
        }
    }
    // The big-endian 16 bits from byte 2's top bit through byte 3.
    const k57::dbc::Message* b = parsed.database.Find(0x3B4, false);
    const k57::dbc::Signal* value = nullptr;
    for (const auto& s : b->signalList) {
        value = s.length == 16 ? &s : value;
    }
    ASSERT_TRUE(value);
    uint8_t data[8] = {0, 0, 0x12, 0x34, 0, 0, 0, 0};
    EXPECT_EQ(value->plan.Extract(data), 0x1234u);
}

TEST(SkeletonDbc, NamesExtendedIdentifiersWithEightDigitsAndTheFlag) {
    ProposedMessage message;
    message.id = 0x18FEF100;
    message.extended = true;
    message.dlc = 8;
    message.signalList.push_back({0, 64, false, false, SignalKind::Value});
    std::string text = k57::SkeletonDbc({message});
    EXPECT_NE(text.find("BO_ 2566844672 ID_18FEF100: 8"), std::string::npos) << text;
    EXPECT_NE(text.find("[0|18446744073709551615]"), std::string::npos) << text;
}

}  // namespace
