#include "ReplyReader.h"

#include <algorithm>

#include "FrameTrace.h"
#include "MessageFactory.h"
#include "ResultCodes.h"

namespace k57 {

using orvan::tms::messages::AbstractMessage;

namespace {

constexpr size_t kHeader = AbstractMessage::kHeaderSize;
constexpr size_t kFrameExtra = AbstractMessage::kHeaderSize + AbstractMessage::kTrailerSize;
// Through noise the reader reads ahead this far at a time, so that a flood
// costs a read per chunk rather than per byte.
constexpr size_t kHuntChunk = 256;
// A trace entry of skipped bytes holds at most this many.
constexpr size_t kSkippedEntry = 1024;

uint16_t Word(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

}  // namespace

void ReplyReader::Reset() {
    held_.clear();
    start_ = 0;
    skipped_.clear();
    hunting_ = false;
}

void ReplyReader::Skip(size_t n) {
    skipped_.insert(skipped_.end(), Held(), Held() + n);
    start_ += n;
    hunting_ = true;
    if (skipped_.size() >= kSkippedEntry) {
        TraceSkipped();
    }
}

void ReplyReader::TraceSkipped() {
    if (!skipped_.empty()) {
        frametrace::Bytes(TraceEntry::Direction::In, "skipped: no frame starts here",
                          skipped_.data(), skipped_.size());
        skipped_.clear();
    }
}

bool ReplyReader::Take() {
    if (start_ > 0 && start_ == held_.size()) {
        held_.clear();
        start_ = 0;
    } else if (start_ >= kHuntChunk) {
        held_.erase(held_.begin(), held_.begin() + long(start_));
        start_ = 0;
    }
    size_t need = kHeader;
    if (HeldSize() >= kHeader) {
        need = Word(Held() + 2) + kFrameExtra;
    }
    size_t most = need > HeldSize() ? need - HeldSize() : 0;
    if (hunting_) {
        most = std::max(most, kHuntChunk);
    }
    int waiting = channel_.Available();
    int n = int(std::min(size_t(waiting > 0 ? waiting : 0), most));
    if (n <= 0) {
        return false;
    }
    size_t at = held_.size();
    held_.resize(at + size_t(n));
    if (channel_.Read(held_.data() + at, n) != n) {
        held_.resize(at);
        return false;
    }
    anything_ = true;
    return true;
}

size_t ReplyReader::ExpectedFrameAfterStart(int16_t expected) const {
    const uint8_t* h = Held();
    for (size_t at = 1; at + kFrameExtra <= HeldSize(); ++at) {
        uint16_t word = Word(h + at);
        uint16_t length = Word(h + at + 2);
        if (int16_t(word & 0x7FFF) != expected ||
            !orvan::tms::messages::headerFits(word, length) ||
            at + length + kFrameExtra > HeldSize()) {
            continue;
        }
        if (orvan::tms::messages::createMessage(word, h + at + kHeader, length)) {
            return at;
        }
    }
    return 0;
}

int ReplyReader::Scan(int16_t expected, std::unique_ptr<AbstractMessage>& reply) {
    while (HeldSize() >= kHeader) {
        const uint8_t* h = Held();
        uint16_t word = Word(h);
        uint16_t length = Word(h + 2);
        if (!orvan::tms::messages::headerFits(word, length)) {
            // A known code announcing too much is worth a line of its own:
            // it is what a unit with a broken sender would send.
            if (length > kMaxPayload && !hunting_ && frametrace::TraceOn() &&
                std::string(frametrace::MessageName(word & 0x7FFF)) != "unknown") {
                frametrace::Partial(TraceEntry::Direction::In, h, kHeader,
                                    "announces " + std::to_string(length) + " bytes, more than " +
                                        std::to_string(kMaxPayload) + ": no frame, skipped");
            }
            Skip(1);
            continue;
        }
        size_t size = length + kFrameExtra;
        if (HeldSize() < size) {
            // What looked like a header may be noise announcing more than
            // will ever come, with the reply already held behind it.
            size_t at = ExpectedFrameAfterStart(expected);
            if (at == 0) {
                return 0;
            }
            Skip(at);
            continue;
        }
        std::unique_ptr<AbstractMessage> message =
            orvan::tms::messages::createMessage(word, h + kHeader, length);
        bool good = message && message->getType() == expected;
        TraceSkipped();
        if (frametrace::TraceOn()) {
            std::string remark = good      ? ""
                                 : message ? std::string("expected ") +
                                               frametrace::MessageName(expected) + " (" +
                                               std::to_string(expected) + "), skipped"
                                           : "cannot be decoded, skipped";
            frametrace::Received(h, size, good ? kReplyOk : 0, remark);
        }
        if (good) {
            start_ += size;
            reply = std::move(message);
            return kReplyOk;
        }
        sawBad_ = true;
        received_ = {word & 0x7FFF, length, message != nullptr};
        // A frame that decodes was one; one that does not may have been
        // noise that looked like a header, with the reply inside it.
        start_ += message ? size : 1;
        hunting_ = true;
    }
    return 0;
}

void ReplyReader::TraceNoReply(uint32_t timeoutMs, bool hungUp, int result) {
    if (!frametrace::TraceOn()) {
        return;
    }
    TraceSkipped();
    if (HeldSize() > 0) {
        frametrace::Partial(TraceEntry::Direction::In, Held(), HeldSize(), "the rest never came");
    }
    std::string why = abandoned_.load() ? "wait abandoned"
                      : hungUp          ? "the port delivers nothing more (hung up)"
                      : "no reply within " + std::to_string(timeoutMs) + " ms";
    if (!anything_) {
        why += ", nothing received";
    }
    frametrace::Note(why, result);
}

int ReplyReader::Wait(int16_t expected, uint32_t timeoutMs,
                      std::unique_ptr<AbstractMessage>& reply) {
    reply.reset();
    Reset();
    received_ = {};
    sawBad_ = false;
    anything_ = false;
    clean_ = false;
    uint32_t start = clock_.NowMs();
    bool hungUp = false;
    for (uint32_t elapsed;
         (elapsed = clock_.NowMs() - start) < timeoutMs && !abandoned_.load();) {
        if (Scan(expected, reply) == kReplyOk) {
            clean_ = !hunting_ && HeldSize() == 0;
            if (HeldSize() > 0) {
                frametrace::Bytes(TraceEntry::Direction::In, "skipped: after the reply", Held(),
                                  HeldSize());
            }
            Reset();
            return kReplyOk;
        }
        if (Take()) {
            continue;
        }
        uint32_t real = std::min(clock_.RealMs(timeoutMs - elapsed), kPollSliceMs);
        if (!channel_.WaitForInput(real)) {
            hungUp = true;
            break;
        }
    }
    // A port gone is told as such, before any reply of another kind: the
    // request may or may not have reached the unit before it went.
    int result = hungUp && !abandoned_.load() ? kLineLost : sawBad_ ? kBadReply : kNoReply;
    TraceNoReply(timeoutMs, hungUp, result);
    Reset();
    return result;
}

}  // namespace k57
