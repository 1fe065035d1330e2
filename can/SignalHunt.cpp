#include "SignalHunt.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <tuple>

namespace k57 {

SignalHunt::SignalHunt(std::vector<int64_t> marksUs, Options options)
    : marks_(std::move(marksUs)), options_(options) {
    std::sort(marks_.begin(), marks_.end());
}

int SignalHunt::WindowOf(int64_t us) const {
    // The latest mark whose window has begun; windows are all as long, so
    // if its window is over, every earlier one is too.
    auto next = std::upper_bound(marks_.begin(), marks_.end(), us + options_.leadUs);
    if (next == marks_.begin()) {
        return -1;
    }
    --next;
    return us <= *next + options_.afterUs ? int(next - marks_.begin()) : -1;
}

void SignalHunt::Count(Tally& tally, int mark, uint8_t before, uint8_t after) {
    ++tally.changes;
    if (mark < 0) {
        return;
    }
    ++tally.inWindow;
    if (tally.lastMark != mark) {
        if (tally.marksHit == 0) {
            tally.before = before;
            tally.after = after;
        } else if (before != tally.before || after != tally.after) {
            tally.toggles = true;
        }
        ++tally.marksHit;
        tally.lastMark = mark;
    }
}

void SignalHunt::Add(const LoggedFrame& frame) {
    auto [at, fresh] = index_.try_emplace(frame.Key(), identifiers_.size());
    if (fresh) {
        identifiers_.emplace_back();
        Identifier& ident = identifiers_.back();
        ident.id = frame.id;
        ident.extended = frame.extended;
        std::memcpy(ident.data, frame.data, sizeof ident.data);
        return;
    }
    if (frame.remote) {
        return;
    }
    Identifier& ident = identifiers_[at->second];
    int mark = -2;  // looked up once, at the first change
    for (int byte = 0; byte < 8; ++byte) {
        uint8_t old = ident.data[byte], now = frame.data[byte];
        unsigned flipped = unsigned(old ^ now);
        if (!flipped) {
            continue;
        }
        if (mark == -2) {
            mark = WindowOf(frame.us);
        }
        Count(ident.bytes[byte], mark, old, now);
        ident.bytes[byte].wide |= (flipped & (flipped - 1)) != 0;
        for (; flipped; flipped &= flipped - 1) {
            int bit = __builtin_ctz(flipped);
            Count(ident.bits[8 * byte + bit], mark, uint8_t((old >> bit) & 1),
                  uint8_t((now >> bit) & 1));
        }
        ident.data[byte] = now;
    }
}

SignalHunt::Candidate SignalHunt::Score(const Identifier& ident, const Tally& tally, int byte,
                                        int bit) const {
    Candidate c;
    c.id = ident.id;
    c.extended = ident.extended;
    c.byte = byte;
    c.bit = bit;
    c.marksHit = tally.marksHit;
    c.changes = tally.changes;
    c.inWindow = tally.inWindow;
    c.before = tally.before;
    c.after = tally.after;
    c.toggles = tally.toggles;
    c.score = double(tally.marksHit) / double(marks_.size()) * double(tally.inWindow) /
              double(tally.changes);
    return c;
}

std::string SignalHunt::Candidate::Text(size_t marks) const {
    char text[128];
    int n = std::snprintf(text, sizeof text, extended ? "%08X byte %d" : "%03X byte %d",
                          unsigned(id), byte);
    if (bit >= 0 && toggles) {
        n += std::snprintf(text + n, sizeof text - size_t(n), " bit %d  0\u21941", bit);
    } else if (bit >= 0) {
        n += std::snprintf(text + n, sizeof text - size_t(n), " bit %d  %u -> %u", bit,
                           unsigned(before), unsigned(after));
    } else {
        n += std::snprintf(text + n, sizeof text - size_t(n), "  %02X -> %02X", unsigned(before),
                           unsigned(after));
    }
    std::snprintf(text + n, sizeof text - size_t(n), "  score %.2f  %d/%zu marks  %u changes",
                  score, marksHit, marks, unsigned(changes));
    return text;
}

std::vector<SignalHunt::Candidate> SignalHunt::Ranking() const {
    std::vector<Candidate> ranking;
    if (marks_.empty()) {
        return ranking;
    }
    for (const Identifier& ident : identifiers_) {
        for (int byte = 0; byte < 8; ++byte) {
            double bestBit = 0;
            for (int bit = 0; bit < 8; ++bit) {
                const Tally& tally = ident.bits[8 * byte + bit];
                if (tally.marksHit > 0) {
                    ranking.push_back(Score(ident, tally, byte, bit));
                    bestBit = std::max(bestBit, ranking.back().score);
                }
            }
            // A byte that steps (a counter, a gear) spreads its changes over
            // its bits; it is a candidate of its own when it does at least
            // as well as each of them.
            const Tally& whole = ident.bytes[byte];
            if (whole.marksHit > 0 && whole.wide) {
                Candidate c = Score(ident, whole, byte, -1);
                if (c.score >= bestBit) {
                    ranking.push_back(c);
                }
            }
        }
    }
    auto better = [](const Candidate& a, const Candidate& b) {
        if (a.score != b.score) {
            return a.score > b.score;
        }
        if (a.changes != b.changes) {
            return a.changes < b.changes;  // the quieter one
        }
        return std::make_tuple(a.Key(), a.byte, -a.bit) < std::make_tuple(b.Key(), b.byte, -b.bit);
    };
    size_t kept = std::min(options_.most, ranking.size());
    std::partial_sort(ranking.begin(), ranking.begin() + long(kept), ranking.end(), better);
    ranking.resize(kept);
    return ranking;
}

}  // namespace k57
