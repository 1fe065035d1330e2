// How often the signals proposed from a capture alone are the ones a real
// database defines, and how fast. Traffic is made from each DBC file named:
// counters count, checksums are random bytes, one-bit signals toggle now
// and then, some signals stay constant, the rest drift over their whole raw
// range as random walks whose speed changes smoothly (at most 0.05 % to
// 0.2 % of the range a frame, at least one step in 20 frames). A signal of
// two bits or more that changes counts as found when a proposal has its
// start, length and byte order; within one byte, where the order cannot be
// seen, its bits. Messages with multiplexed signals, overlapping signals or
// more than 8 bytes are left out.
//
// signals_accuracy [--frames N] [--floor PERCENT] [--time FRAMES] [--candump FILE]
//                  [--misses] DBC...
// Prints one line per file and the overall share (--misses: and the
// signals not found); exits 1 below --floor, 77 without a file.
// --time: that many frames of the last file's traffic proposed, timed.
// --candump: the last file's traffic written as a candump log.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "CanFrameLog.h"
#include "Parse.h"
#include "SignalProposal.h"

namespace {

using k57::dbc::Message;
using k57::dbc::Signal;

enum class Role { Toggle, Checksum, Counter, Constant, Walk };

bool Named(const std::string& name, std::initializer_list<const char*> words) {
    std::string upper = name;
    std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
    for (const char* word : words) {
        if (upper.find(word) != std::string::npos) {
            return true;
        }
    }
    return false;
}

// The bits `signal` covers, numbered 8 * byte + n.
std::set<int> BitsOf(const Signal& signal) {
    std::set<int> bits;
    for (int i = 0; i < signal.plan.count; ++i) {
        const auto& step = signal.plan.steps[i];
        for (int n = 0; n < 8; ++n) {
            if (step.mask >> n & 1) {
                bits.insert(8 * step.byte + step.shift + n);
            }
        }
    }
    return bits;
}

struct Generated {
    const Signal* signal;
    Role role;
    double position = 0;  // a walk's, 0..1 of its range
    double speed = 0;     // a walk's, of its range a frame
    double most = 0;      // the walk's top speed
    uint64_t raw = 0;
    double toggleChance = 0;
};

struct Traffic {
    const Message* message;
    std::vector<Generated> signalList;
};

// The messages of `database` the proposal can be held against.
std::vector<Traffic> Plan(const k57::dbc::Database& database, std::mt19937_64& random) {
    std::vector<Traffic> traffic;
    std::uniform_real_distribution<double> unit(0, 1);
    for (const Message& message : database.messages) {
        bool usable = message.size >= 1 && message.size <= 8 && !message.signalList.empty();
        std::set<int> taken;
        for (const Signal& signal : message.signalList) {
            usable = usable && !signal.isMultiplexed && !signal.isMultiplexor &&
                     signal.plan.count > 0 && signal.plan.bytesNeeded <= message.size;
            for (int bit : BitsOf(signal)) {
                usable = usable && taken.insert(bit).second;
            }
        }
        if (!usable) {
            continue;
        }
        Traffic t{&message, {}};
        for (const Signal& signal : message.signalList) {
            Generated g{&signal, Role::Walk};
            if (signal.length == 1) {
                g.role = Role::Toggle;
                g.toggleChance = 0.005 + 0.05 * unit(random);
            } else if (signal.length == 8 && Named(signal.name, {"CRC", "CHECKSUM", "CHKSUM"})) {
                g.role = Role::Checksum;
            } else if (signal.length <= 8 && Named(signal.name, {"COUNTER", "CNT", "ALIVE"})) {
                g.role = Role::Counter;
            } else if (unit(random) < 0.1) {
                g.role = Role::Constant;
            }
            double range = std::ldexp(1.0, signal.length) - 1;
            g.raw = uint64_t(unit(random) * range);
            g.position = unit(random);
            g.most = std::max(0.0005 + 0.0015 * unit(random), 0.05 / range);
            g.speed = (unit(random) < 0.5 ? -1 : 1) * g.most * (0.2 + 0.8 * unit(random));
            t.signalList.push_back(g);
        }
        traffic.push_back(std::move(t));
    }
    return traffic;
}

void Put(const Signal& signal, uint64_t raw, uint8_t* data) {
    for (int i = 0; i < signal.plan.count; ++i) {
        const auto& s = signal.plan.steps[i];
        data[s.byte] = uint8_t((data[s.byte] & ~(s.mask << s.shift)) |
                               (((raw >> s.resultShift) & s.mask) << s.shift));
    }
}

// The next frame of `t`.
k57::LoggedFrame Next(Traffic& t, std::mt19937_64& random, int64_t us) {
    std::uniform_real_distribution<double> unit(0, 1);
    k57::LoggedFrame frame{us, t.message->id, t.message->extended, false,
                           uint8_t(t.message->size), {}};
    for (Generated& g : t.signalList) {
        const int length = g.signal->length;
        const uint64_t mask = length >= 64 ? ~0ull : (1ull << length) - 1;
        switch (g.role) {
            case Role::Toggle: g.raw ^= unit(random) < g.toggleChance; break;
            case Role::Checksum: g.raw = random() & 0xFF; break;
            case Role::Counter: g.raw = (g.raw + 1) & mask; break;
            case Role::Constant: break;
            case Role::Walk: {
                g.speed = std::clamp(g.speed + g.most * 0.1 * (2 * unit(random) - 1), -g.most,
                                     g.most);
                g.position += g.speed;
                if (g.position < 0 || g.position > 1) {  // bounces off its ends
                    g.position = g.position < 0 ? -g.position : 2 - g.position;
                    g.speed = -g.speed;
                }
                long double range = std::ldexp(1.0L, length) - 1;
                g.raw = std::min<uint64_t>(uint64_t(std::llround(g.position * range)), mask);
                if (g.signal->isSigned) {  // the same walk from the most negative value up
                    g.raw = (g.raw - (uint64_t(1) << (length - 1))) & mask;
                }
                break;
            }
        }
        Put(*g.signal, g.raw, frame.data);
    }
    return frame;
}

// Frames of every message in turn, `perMessage` of each.
std::vector<k57::LoggedFrame> Frames(std::vector<Traffic>& traffic, std::mt19937_64& random,
                                     size_t total) {
    std::vector<k57::LoggedFrame> frames;
    frames.reserve(total);
    int64_t us = 1'000'000;
    while (!traffic.empty() && frames.size() < total) {
        for (Traffic& t : traffic) {
            if (frames.size() < total) {
                frames.push_back(Next(t, random, us += 100));
            }
        }
    }
    return frames;
}

const k57::ProposedSignal* Found(const Signal& truth,
                                 const std::vector<k57::ProposedSignal>& proposals) {
    std::set<int> bits = BitsOf(truth);
    bool oneByte = *bits.begin() / 8 == *bits.rbegin() / 8;
    bool bigEndian = truth.byteOrder == k57::dbc::ByteOrder::Motorola;
    for (const k57::ProposedSignal& p : proposals) {
        if (p.length != truth.length) {
            continue;
        }
        if (oneByte) {
            int low = p.bigEndian ? p.start - p.length + 1 : p.start;
            if (low == *bits.begin() && low / 8 == (low + p.length - 1) / 8) {
                return &p;
            }
        } else if (p.start == truth.startBit && p.bigEndian == bigEndian) {
            return &p;
        }
    }
    return nullptr;
}

// Whether a bit of `truth` never changed: the proposal calls it constant,
// and no method could tell the signal's length from the capture.
bool Unseen(const Signal& truth, const std::vector<k57::ProposedSignal>& proposals) {
    for (int bit : BitsOf(truth)) {
        for (const k57::ProposedSignal& p : proposals) {
            // Constants never cross a byte: their bits go down from the top one.
            int top = p.bigEndian ? p.start : p.start + p.length - 1;
            if (p.kind == k57::SignalKind::Constant && bit <= top && bit > top - p.length) {
                return true;
            }
        }
    }
    return false;
}

struct Score {
    int found = 0;
    int total = 0;
    int unseen = 0;  // of those not found, with a bit that never changed
    int values = 0;  // found, moving as random walks
    int signsRight = 0;
    double Percent() const { return total ? 100.0 * found / total : 0; }
};

Score Judge(const std::vector<Traffic>& traffic, const std::vector<k57::ProposedMessage>& proposed,
            bool tell) {
    Score score;
    for (const Traffic& t : traffic) {
        auto it = std::find_if(proposed.begin(), proposed.end(), [&](const auto& m) {
            return m.id == t.message->id && m.extended == t.message->extended;
        });
        for (const Generated& g : t.signalList) {
            if (g.signal->length < 2 || g.role == Role::Constant) {
                continue;
            }
            ++score.total;
            const k57::ProposedSignal* match =
                it != proposed.end() ? Found(*g.signal, it->signalList) : nullptr;
            bool found = match != nullptr;
            score.found += found;
            if (found && g.role == Role::Walk) {
                ++score.values;
                score.signsRight += match->isSigned == g.signal->isSigned;
            }
            bool unseen = !found && it != proposed.end() && Unseen(*g.signal, it->signalList);
            score.unseen += unseen;
            if (!found && tell) {
                std::printf("  missed %X %s %d|%d@%d%s\n", unsigned(t.message->id),
                            g.signal->name.c_str(), g.signal->startBit, g.signal->length,
                            g.signal->byteOrder == k57::dbc::ByteOrder::Intel,
                            unseen ? ", a bit never changed" : "");
            }
        }
    }
    return score;
}

std::vector<k57::ProposedMessage> Propose(const std::vector<k57::LoggedFrame>& frames) {
    k57::SignalProposal proposal;
    for (const k57::LoggedFrame& frame : frames) {
        proposal.Add(frame);
    }
    return proposal.Messages();
}

}  // namespace

int main(int argc, char** argv) {
    size_t perMessage = 3000, timed = 0;
    double floor = 0;
    std::string candump;
    bool misses = false;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool valued = i + 1 < argc;
        if (arg == "--frames" && valued) {
            perMessage = std::stoul(argv[++i]);
        } else if (arg == "--floor" && valued) {
            floor = std::stod(argv[++i]);
        } else if (arg == "--time" && valued) {
            timed = std::stoul(argv[++i]);
        } else if (arg == "--misses") {
            misses = true;
        } else if (arg == "--candump" && valued) {
            candump = argv[++i];
        } else {
            files.push_back(arg);
        }
    }
    if (files.empty()) {
        std::printf("no DBC files: nothing to measure\n");
        return 77;  // CTest's skip: the shared files are not beside this checkout
    }
    Score overall;
    std::vector<k57::LoggedFrame> frames;
    for (const std::string& file : files) {
        k57::dbc::ParseResult parsed = k57::dbc::ParseFile(file, k57::dbc::Encoding::Cp1252);
        std::mt19937_64 random(57);
        std::vector<Traffic> traffic = Plan(parsed.database, random);
        frames = Frames(traffic, random, perMessage * traffic.size());
        Score score = Judge(traffic, Propose(frames), misses);
        std::printf("%-28s %4d of %4d signals found (%5.1f %%), %3d missed with a bit that never "
                    "changed, %zu messages\n",
                    file.substr(file.find_last_of('/') + 1).c_str(), score.found, score.total,
                    score.Percent(), score.unseen, traffic.size());
        overall.found += score.found;
        overall.total += score.total;
        overall.unseen += score.unseen;
        overall.values += score.values;
        overall.signsRight += score.signsRight;
        if (&file == &files.back() && (timed > 0 || !candump.empty())) {
            frames = Frames(traffic, random, std::max(timed, frames.size()));
        }
    }
    std::printf("overall: %d of %d signals found (%.1f %%); %d more had a bit that never changed\n",
                overall.found, overall.total, overall.Percent(), overall.unseen);
    std::printf("signed or not as the database says: %d of the %d values found\n",
                overall.signsRight, overall.values);
    if (!candump.empty()) {
        std::ofstream out(candump);
        for (const k57::LoggedFrame& frame : frames) {
            out << k57::CandumpLine(frame.Record(), frame.us) << "\n";
        }
    }
    if (timed > 0 && frames.size() >= timed) {
        frames.resize(timed);
        auto begin = std::chrono::steady_clock::now();
        size_t signalCount = 0;
        for (const auto& message : Propose(frames)) {
            signalCount += message.signalList.size();
        }
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        std::printf("%zu frames proposed in %.2f s (%zu signals)\n", frames.size(), seconds,
                    signalCount);
    }
    return overall.Percent() < floor ? 1 : 0;
}
