#include "SignalSearch.h"

#include <algorithm>
#include <cstdio>
#include <queue>
#include <tuple>
#include <unordered_map>

namespace k57 {

namespace {

// A frame's data as one number: byte 0 lowest (little-endian fields are
// runs of it from bit 0 up), or byte 0 highest (big-endian fields are runs
// of it from its top down).
uint64_t LittleOf(const uint8_t data[8]) {
    uint64_t value = 0;
    for (int i = 7; i >= 0; --i) {
        value = value << 8 | data[i];
    }
    return value;
}

uint64_t BigOf(const uint8_t data[8]) {
    uint64_t value = 0;
    for (int i = 0; i < 8; ++i) {
        value = value << 8 | data[i];
    }
    return value;
}

// The place of a big-endian field's most significant bit counted from the
// top of BigOf: the DBC start bit (byte * 8 + bit, bit 7 the top) turned.
int BigPlace(int start) {
    return start / 8 * 8 + (7 - start % 8);
}

int64_t Signed(uint64_t raw, int length) {
    const uint64_t half = uint64_t(1) << (length - 1);
    return int64_t(raw ^ half) - int64_t(half);
}

// One mark as one identifier saw it: its data before and after.
struct Reading {
    uint64_t before[2];  // little, big
    uint64_t after[2];
    CanMove move;
};

bool Better(const SignalSearch::Candidate& a, const SignalSearch::Candidate& b) {
    return std::make_tuple(-a.score, -a.held, a.still, -a.length, a.isSigned, a.bigEndian,
                           a.Key(), a.start) < std::make_tuple(-b.score, -b.held, b.still,
                                                               -b.length, b.isSigned,
                                                               b.bigEndian, b.Key(), b.start);
}

struct WorseFirst {
    bool operator()(const SignalSearch::Candidate& a, const SignalSearch::Candidate& b) const {
        return Better(a, b);
    }
};

class Ranker {
  public:
    explicit Ranker(size_t most) : most_(most) {}

    void Offer(const SignalSearch::Candidate& c) {
        if (most_ == 0) {
            return;
        }
        if (kept_.size() < most_) {
            kept_.push(c);
        } else if (Better(c, kept_.top())) {
            kept_.pop();
            kept_.push(c);
        }
    }
    std::vector<SignalSearch::Candidate> Best() {
        std::vector<SignalSearch::Candidate> best;
        for (; !kept_.empty(); kept_.pop()) {
            best.push_back(kept_.top());
        }
        std::reverse(best.begin(), best.end());
        return best;
    }

  private:
    size_t most_;
    std::priority_queue<SignalSearch::Candidate, std::vector<SignalSearch::Candidate>, WorseFirst>
        kept_;
};

// Every field of one identifier scored against its readings.
void Score(SignalSearch::Candidate base, const std::vector<Reading>& readings,
           const uint64_t changing[2], int bits, Ranker& ranker) {
    for (int order = 0; order < 2; ++order) {
        base.bigEndian = order == 1;
        for (int start = 0; start < bits; ++start) {
            // Where the field's lowest bit sits in the number of its order,
            // less the length for big-endian.
            int place = order == 0 ? start : BigPlace(start);
            for (int length = 1; length <= 32; ++length) {
                if (place + length > bits) {
                    break;
                }
                if (order == 1 && length <= start % 8 + 1) {
                    continue;  // within the start's byte: the little-endian one
                }
                const int shift = order == 0 ? place : 64 - place - length;
                const uint64_t mask = (uint64_t(1) << length) - 1;
                const uint64_t moving = (changing[order] >> shift) & mask;
                if (!moving) {
                    continue;
                }
                base.start = start;
                base.length = length;
                base.still = length - __builtin_popcountll(moving);
                for (int sign = 0; sign < (length > 1 ? 2 : 1); ++sign) {
                    int matched = 0, held = 0;
                    uint64_t last = 0;
                    bool haveLast = false;
                    for (const Reading& r : readings) {
                        uint64_t b = (r.before[order] >> shift) & mask;
                        uint64_t a = (r.after[order] >> shift) & mask;
                        held += haveLast && r.move != CanMove::None && last == b;
                        last = a;
                        haveLast = r.move != CanMove::None;
                        int64_t from = sign ? Signed(b, length) : int64_t(b);
                        int64_t to = sign ? Signed(a, length) : int64_t(a);
                        matched += r.move == CanMove::Up     ? to > from
                                   : r.move == CanMove::Down ? to < from
                                   : r.move == CanMove::Same ? to == from
                                                             : false;
                    }
                    if (matched == 0) {
                        continue;
                    }
                    base.isSigned = sign == 1;
                    base.matched = matched;
                    base.held = held;
                    base.score = double(matched) / double(base.marks);
                    ranker.Offer(base);
                }
            }
        }
    }
}

}  // namespace

int64_t SignalSearch::Candidate::Value(const uint8_t data[8]) const {
    const uint64_t mask = (uint64_t(1) << length) - 1;
    const int shift = bigEndian ? 64 - BigPlace(start) - length : start;
    if (shift < 0 || shift > 63) {
        return 0;
    }
    uint64_t raw = ((bigEndian ? BigOf(data) : LittleOf(data)) >> shift) & mask;
    return isSigned ? Signed(raw, length) : int64_t(raw);
}

std::string SignalSearch::Candidate::Text() const {
    char text[128];
    std::snprintf(text, sizeof text,
                  extended ? "%08X start %d length %d %s %s  score %.2f  %d/%d marks  held %d"
                           : "%03X start %d length %d %s %s  score %.2f  %d/%d marks  held %d",
                  unsigned(id), start, length, bigEndian ? "big" : "little",
                  isSigned ? "signed" : "unsigned", score, matched, marks, held);
    return text;
}

size_t SignalSearch::MarksWithMove(const std::vector<CanMark>& marks) {
    return size_t(std::count_if(marks.begin(), marks.end(),
                                [](const CanMark& m) { return m.move != CanMove::None; }));
}

std::vector<SignalSearch::Candidate> SignalSearch::Rank(const std::vector<LoggedFrame>& frames,
                                                        const std::vector<CanMark>& marks,
                                                        const Options& options) {
    std::vector<CanMark> moves;
    for (const CanMark& mark : marks) {
        if (mark.move != CanMove::None && moves.size() < kMaxMarks) {
            moves.push_back(mark);
        }
    }
    if (moves.empty()) {
        return {};
    }
    // Each identifier's frames, by their place in `frames`.
    std::unordered_map<uint64_t, size_t> index;
    std::vector<std::vector<uint32_t>> byIdentifier;
    for (size_t i = 0; i < frames.size() && i <= UINT32_MAX; ++i) {
        if (frames[i].remote) {
            continue;
        }
        auto [at, fresh] = index.try_emplace(frames[i].Key(), byIdentifier.size());
        if (fresh) {
            byIdentifier.emplace_back();
        }
        byIdentifier[at->second].push_back(uint32_t(i));
    }
    Ranker ranker(options.most);
    std::vector<Reading> readings(moves.size());
    std::vector<int64_t> times;
    for (const std::vector<uint32_t>& own : byIdentifier) {
        const LoggedFrame& first = frames[own.front()];
        uint64_t changing[2] = {0, 0};
        int dlc = 8;
        times.clear();
        for (uint32_t i : own) {
            changing[0] |= LittleOf(frames[i].data) ^ LittleOf(first.data);
            changing[1] |= BigOf(frames[i].data) ^ BigOf(first.data);
            dlc = std::min<int>(dlc, frames[i].dlc);
            times.push_back(frames[i].us);
        }
        if (!changing[0] || dlc == 0) {
            continue;
        }
        readings.clear();
        for (const CanMark& mark : moves) {
            // The last frame at or before the lead, and the last in the window
            // after it; a mark with either missing is one this identifier
            // cannot repeat.
            auto before = std::upper_bound(times.begin(), times.end(), mark.us - options.leadUs);
            auto after = std::upper_bound(before, times.end(), mark.us + options.afterUs);
            Reading r{{0, 0}, {0, 0}, mark.move};
            if (before != times.begin() && after != before) {
                const uint8_t* from = frames[own[size_t(before - times.begin()) - 1]].data;
                const uint8_t* to = frames[own[size_t(after - times.begin()) - 1]].data;
                r = {{LittleOf(from), BigOf(from)}, {LittleOf(to), BigOf(to)}, mark.move};
            } else {
                r.move = CanMove::None;  // matches no field
            }
            readings.push_back(r);
        }
        Candidate base;
        base.id = first.id;
        base.extended = first.extended;
        base.marks = int(moves.size());
        Score(base, readings, changing, 8 * dlc, ranker);
    }
    return ranker.Best();
}

}  // namespace k57
