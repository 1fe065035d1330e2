// The signal hunt's two costs on a big capture: opening a 1,000,000-frame
// candump log (time and resident memory) and ranking it over 4,096
// identifiers with 10 marks.

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
    return 0;
}
