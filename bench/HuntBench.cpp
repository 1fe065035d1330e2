// The signal hunt's costs on a big capture: opening a 1,000,000-frame
// candump log (time and resident memory), ranking it over 4,096
// identifiers with 10 marks, and searching 1,000,000 frames over 500
// identifiers for the field whose value moved at 10 marks.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "CanHunt.h"
#include "CanFrameLog.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

long ResidentMb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6)) / 1024;
        }
    }
    return -1;
}

// 1,000,000 frames of 500 identifiers, random bits flipping; identifier 0x1F4
// carries a 16-bit little-endian level at bit 20 that steps up or down 300 ms
// after each of the marks, which say so.
double SearchSeconds(size_t& candidates, bool& found) {
    constexpr int kFrames = 1'000'000, kIdentifiers = 500;
    std::vector<k57::LoggedFrame> frames;
    frames.reserve(kFrames);
    k57::CanMarks marks;
    uint32_t random = 7;
    uint8_t state[kIdentifiers][8] = {};
    const int64_t zero = 1'700'000'000'000'000;
    for (int m = 0; m < 10; ++m) {
        marks.Add(zero + int64_t(m) * 12'000'000 + 5'000'000, {},
                  m % 3 == 1 ? k57::CanMove::Down : k57::CanMove::Up);
    }
    for (int i = 0; i < kFrames; ++i) {
        int k = i % kIdentifiers;
        int64_t us = zero + int64_t(i) * 125;
        random = random * 1103515245u + 12345u;
        if (k != 0x1F4 - 0x100 && (random >> 16) % 4 == 0) {
            state[k][(random >> 8) % 8] ^= uint8_t(1u << ((random >> 4) % 8));
        }
        if (k == 0x1F4 - 0x100) {
            int level = 1001;
            for (const k57::CanMark& mark : marks.marks()) {
                if (us >= mark.us + 300'000) {
                    level += mark.move == k57::CanMove::Up ? 9001 : -703;
                }
            }
            uint32_t bits = uint32_t(level) << 4;  // bit 20 of the frame: byte 2, bit 4
            state[k][2] = uint8_t(bits);
            state[k][3] = uint8_t(bits >> 8);
            state[k][4] = uint8_t(bits >> 16);
        }
        k57::LoggedFrame f{us, uint32_t(0x100 + k), false, false, 8, {}};
        std::copy(state[k], state[k] + 8, f.data);
        frames.push_back(f);
    }
    auto start = std::chrono::steady_clock::now();
    std::vector<k57::SignalSearch::Candidate> ranking = k57::CanHunt::Search(frames, marks);
    double seconds = Seconds(start);
    candidates = ranking.size();
    found = !ranking.empty() && ranking[0].id == 0x1F4 && ranking[0].start == 20 &&
            ranking[0].length == 16 && !ranking[0].bigEndian;
    return seconds;
}

}  // namespace

int main() {
    const std::string path = "/tmp/k57_hunt_bench.log";
    constexpr int kFrames = 1'000'000, kIdentifiers = 4096;
    {
        std::ofstream out(path);
        uint32_t random = 1;
        uint8_t state[kIdentifiers][8] = {};
        for (int i = 0; i < kFrames; ++i) {
            int k = i % kIdentifiers;
            random = random * 1103515245u + 12345u;
            if ((random >> 16) % 4 == 0) {
                state[k][(random >> 8) % 8] ^= uint8_t(1u << ((random >> 4) % 8));
            }
            k57::LoggedFrame f{1'700'000'000'000'000 + int64_t(i) * 125,
                               k < 2048 ? uint32_t(k) : uint32_t(0x18DA0000 + k), k >= 2048,
                               false, 8, {}};
            std::copy(state[k], state[k] + 8, f.data);
            out << k57::CandumpLine(f.Record(), f.us) << '\n';
        }
    }
    auto start = std::chrono::steady_clock::now();
    k57::CanRecording recording;
    std::string error;
    if (!k57::CanHunt::ReadCapture(path, k57::CanFilter{}, recording, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    double open = Seconds(start);
    long resident = ResidentMb();
    k57::CanMarks marks;
    for (int m = 0; m < 10; ++m) {
        marks.Add(1'700'000'000'000'000 + int64_t(m) * 12'000'000 + 5'000'000);
    }
    start = std::chrono::steady_clock::now();
    std::vector<k57::SignalHunt::Candidate> ranking = k57::CanHunt::Rank(recording.frames, marks);
    double rank = Seconds(start);
    std::printf("open %zu frames: %.2f s, %ld MB resident (target <= 1.5 s, <= 200 MB)\n",
                recording.frames.size(), open, resident);
    std::printf("rank %d identifiers, 10 marks: %.3f s, %zu candidates (target <= 0.5 s)\n",
                kIdentifiers, rank, ranking.size());
    std::remove(path.c_str());
    size_t candidates = 0;
    bool found = false;
    double search = SearchSeconds(candidates, found);
    std::printf("search 1000000 frames, 500 identifiers, 10 marks: %.2f s, %zu candidates, "
                "the moving field %s (target <= 5 s)\n",
                search, candidates, found ? "first" : "NOT first");
    return found ? 0 : 1;
}
