// k57sim: a simulated K57 unit on a pseudo-terminal, registered under a COM
// name so that the tool reaches it like a real unit.

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <utility>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "NextUnits.h"
#include "PortMapping.h"
#include "SimCommandLine.h"
#include "Trace.h"
#include "Unit.h"
#include "Version.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;
volatile std::sig_atomic_t flipsRequested = 0;

void RequestStop(int) {
    stopRequested = 1;
}

void RequestFlip(int) {
    flipsRequested = flipsRequested + 1;
}

// Now on the computer's clock, "1436509052.249713" as candump logs stamp.
std::string Stamp() {
    using namespace std::chrono;
    long long us = duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%06lld", us / 1000000, us % 1000000);
    return text;
}

// Pulls the unit out or plugs the next one in when due, and says so;
// false when no terminal was left for the next one.
bool Replug(k57::sim::NextUnits& next, k57::sim::Unit& unit) {
    using namespace std::chrono;
    auto now = uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    std::string said = next.Step(unit, now);
    if (!said.empty()) {
        std::fprintf(unit.plugged() || next.away() ? stdout : stderr, "%s\n", said.c_str());
        std::fflush(stdout);
    }
    return unit.plugged() || next.away();
}

}  // namespace

int main(int argc, char** argv) {
    using k57::sim::kUsage;
    k57::sim::UnitOptions options;
    int com = 5;
    std::string link;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        // Alone, --version is the program's; with a value, the unit's.
        if (argc == 2 && std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s\n", k57::VersionText("k57sim").c_str());
            return 0;
        }
    }
    k57::sim::Refusal refusal;
    bool flips = false, trace = false;
    k57::sim::Row row;
    if (!k57::sim::Parse(argc, argv, options, com, link, row, flips, trace, refusal)) {
        std::fprintf(stderr, "k57sim: %s; see --help\n", refusal.why.c_str());
        return 2;
    }
    k57::sim::Unit unit(options);
    if (trace) {
        // The unit's own side: it holds the PIN and the numbers anyway.
        unit.trace().SetRevealPrivate(true);
        unit.trace().AddSink(k57::TraceToFile(stderr));
        unit.trace().SetOn(true);
    }
    if (!unit.start()) {
        std::fprintf(stderr, "k57sim: no pseudo-terminal available\n");
        return 1;
    }
    if (!link.empty()) {
        if (!unit.linkAs(link)) {
            std::fprintf(stderr, "k57sim: cannot make the link %s\n", link.c_str());
            return 1;
        }
    } else {
        std::string holder;
        switch (unit.claimAs(com, holder)) {
            case k57::ports::Claim::Made:
                break;
            case k57::ports::Claim::InUse:
                std::fprintf(stderr, "k57sim: COM%d is in use: %s leads to %s, which is there "
                             "(another simulated unit?)\n",
                             com, k57::ports::EntryPath(com).c_str(), holder.c_str());
                return 2;
            case k57::ports::Claim::Failed:
                std::fprintf(stderr, "k57sim: cannot register COM%d in %s\n", com,
                             k57::ports::Directory().c_str());
                return 1;
        }
    }
    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
    std::printf("%s\n", unit.devicePath().c_str());
    if (link.empty()) {
        std::printf("COM%d -> %s\n", com, unit.devicePath().c_str());
    } else {
        std::printf("%s -> %s\n", link.c_str(), unit.devicePath().c_str());
    }
    std::fflush(stdout);
    if (flips) {
        std::signal(SIGUSR1, RequestFlip);
    }
    // A flip comes with a signal or a line; each is told with its time on
    // the computer's clock, as the tool stamps frames.
    bool input = flips;
    std::unique_ptr<k57::sim::NextUnits> next;
    if (!row.serials.empty()) {
        next = std::make_unique<k57::sim::NextUnits>(options, row.serials, row.awayMs);
    }
    while (!stopRequested) {
        pollfd in{0, POLLIN, 0};
        int ready = poll(&in, input ? 1 : 0, next ? 20 : input ? 100 : 1000);
        if (next && !Replug(*next, unit)) {
            return 1;
        }
        int due = 0;
        if (ready > 0) {
            char bytes[256];
            ssize_t n = read(0, bytes, sizeof bytes);
            if (n <= 0) {
                input = false;  // no more lines will come
            }
            for (ssize_t i = 0; i < n; ++i) {
                due += bytes[i] == '\n';
            }
        }
        for (due += std::exchange(flipsRequested, 0); due > 0; --due) {
            unit.flipCanBit();
            std::printf("flipped %s\n", Stamp().c_str());
            std::fflush(stdout);
        }
    }
    std::string version = unit.versionText();
    if (version != options.versionText) {
        std::replace(version.begin(), version.end(), '\n', ' ');
        std::fprintf(stderr, "k57sim: the unit ends with the firmware it was given: %s\n",
                     version.c_str());
    }
    if (unit.droppedLines() > 0) {
        std::fprintf(stderr, "k57sim: %d lines dropped whole: the tool did not read them in time\n",
                     unit.droppedLines());
    }
    if (unit.droppedFrames() > 0) {
        std::fprintf(stderr,
                     "k57sim: %d CAN frame lines dropped whole: the reader left the adapter's buffer full\n",
                     unit.droppedFrames());
    }
    if (unit.skippedFrames() > 0) {
        std::fprintf(stderr,
                     "k57sim: %d frames of the capture skipped: error or FD frames, more than 8 "
                     "bytes, or 3-digit identifiers above 7FF\n",
                     unit.skippedFrames());
    }
    return 0;
}
