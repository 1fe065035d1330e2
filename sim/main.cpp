// k57sim: a simulated K57 unit on a pseudo-terminal, registered under a COM
// name so that the tool reaches it like a real unit.

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <utility>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <type_traits>

#include "PortMapping.h"
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

const char kUsage[] =
    "Usage: k57sim [options]\n"
    "Plays a K57 unit on a pseudo-terminal and prints its device path.\n"
    "\n"
    "  --port COMn          register the unit under this COM name (default COM5)\n"
    "  --link PATH          make PATH a link to the unit instead (for example a\n"
    "                       Wine prefix's dosdevices/com5)\n"
    "  --serial N           serial number (default 12345678)\n"
    "  --type T             unit type (default K57BT)\n"
    "  --version V          firmware version (default 000.008)\n"
    "  --settings FILE      settings text: read at start, rewritten on every write\n"
    "  --silent             never reply\n"
    "  --wrong-type         reply with a message of another type\n"
    "  --undecodable        reply with a frame that cannot be decoded\n"
    "  --oversize           reply with a header announcing N = 1017\n"
    "  --dribble BYTES:MS   send replies in pieces with pauses\n"
    "  --rate BITS          pace the link to this many bit/s (10 bits a byte)\n"
    "  --hang-up-after K    go silent after K data fragments\n"
    "  --refuse-commits     never acknowledge a commit\n"
    "  --reset-on-firmware  an accepted firmware update also empties the settings\n"
    "  --keep-settings      acknowledge settings writes but keep the old settings\n"
    "  --diag-period MS     diagnostic mode: one reading line every MS (default 100)\n"
    "  --diag-motion        diagnostic mode: a parked car's motion sensor (rest\n"
    "                       noise, a tap every 7 s, a slow tilt), one reading\n"
    "                       every 10 ms unless --diag-period says otherwise\n"
    "  --can-rate N         CAN channel: N synthetic frames a second (default 200)\n"
    "  --can-ids N          ...over N identifiers (default 24, at most 4096)\n"
    "  --can-log FILE       CAN channel: replay a candump text log instead\n"
    "  --can-buffer N       CAN frames held for a reader that does not read (default\n"
    "                       300); beyond, frames are dropped and counted\n"
    "  --can-flip ID:BYTE:BIT  on SIGUSR1 or a line on standard input, toggle this\n"
    "                       bit (BIT 7 the most significant) in every later frame\n"
    "                       of ID (more than 3 digits: extended), and say when\n"
    "  --queue BYTES        text a slow reader has not taken waits up to BYTES\n"
    "                       (default 65536); beyond, whole lines are dropped\n"
    "  --trace              print every frame in and out on standard error, as\n"
    "                       k57ctl --trace does from the tool's side\n"
    "  --help               show this text\n"
    "  --version            alone: show this program's version\n"
    "\n"
    "The COM name is an entry of the tool's ports directory; it is removed\n"
    "when the simulator ends (Ctrl+C), unless another program has replaced it.\n"
    "A COM name whose entry leads to a device that is there (another running\n"
    "simulated unit) is refused with exit code 2.\n";

// Why the command line was refused; empty while it is good.
struct Refusal {
    std::string why;
    bool operator()(const std::string& text) {
        why = text;
        return false;
    }
};

// A whole decimal (or 0x hexadecimal) number within [min, max].
bool Number(const std::string& text, long long min, long long max, long long& out) {
    if (text.empty() || text[0] == '-' || text[0] == '+' || text[0] == ' ') {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    out = std::strtoll(text.c_str(), &end, 0);
    return errno == 0 && *end == '\0' && out >= min && out <= max;
}

bool Parse(int argc, char** argv, k57::sim::UnitOptions& options, int& com, std::string& link,
           bool& flips, bool& trace, Refusal& refuse) {
    using Fault = k57::sim::UnitOptions::Fault;
    std::string type = "K57BT", version = "000.008";
    bool periodGiven = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool missing = false;
        auto value = [&]() -> std::string {
            if (i + 1 < argc && std::strncmp(argv[i + 1], "--", 2) != 0) {
                return argv[++i];
            }
            missing = true;
            return "";
        };
        // Reads the option's value as a number within [min, max].
        auto number = [&](long long min, long long max, auto& out) {
            std::string text = value();
            long long n = 0;
            if (missing) {
                return refuse(arg + " needs a value");
            }
            if (!Number(text, min, max, n)) {
                return refuse(arg + ": '" + text + "' is not a number from " +
                              std::to_string(min) + " to " + std::to_string(max));
            }
            out = static_cast<std::remove_reference_t<decltype(out)>>(n);
            return true;
        };
        auto text = [&](std::string& out) {
            out = value();
            return missing ? refuse(arg + " needs a value") : true;
        };
        bool good = true;
        if (arg == "--port") {
            std::string name;
            good = text(name);
            com = k57::ports::ComNumber(name);
            if (good && com <= 0) {
                good = refuse("--port: '" + name + "' is not a COM name such as COM5");
            }
        } else if (arg == "--link") {
            good = text(link);
        } else if (arg == "--serial") {
            good = number(0, 0xFFFFFFFFLL, options.serial);
        } else if (arg == "--type") {
            good = text(type);
        } else if (arg == "--version") {
            good = text(version) ||
                   refuse("--version needs a value here; alone it shows this program's version");
        } else if (arg == "--settings") {
            good = text(options.settingsFile);
        } else if (arg == "--silent") {
            options.fault = Fault::Silent;
        } else if (arg == "--wrong-type") {
            options.fault = Fault::WrongType;
        } else if (arg == "--undecodable") {
            options.fault = Fault::Undecodable;
        } else if (arg == "--oversize") {
            options.fault = Fault::Oversize;
        } else if (arg == "--dribble") {
            std::string v;
            good = text(v);
            size_t colon = v.find(':');
            long long bytes = 0, pause = 0;
            if (good && (!Number(v.substr(0, colon), 1, 1024, bytes) ||
                         (colon != std::string::npos &&
                          !Number(v.substr(colon + 1), 0, 60000, pause)))) {
                good = refuse("--dribble: '" + v + "' is not BYTES:MS");
            }
            options.dribbleBytes = int(bytes);
            options.dribblePauseMs = int(pause);
        } else if (arg == "--rate") {
            long long bits = 0;
            good = number(10, 100000000, bits);
            options.byteRate = uint32_t(bits / 10);
        } else if (arg == "--hang-up-after") {
            good = number(0, 1000000, options.hangUpAfterFragments);
        } else if (arg == "--diag-period") {
            good = number(1, 60000, options.diagnosticPeriodMs);
            periodGiven = true;
        } else if (arg == "--diag-motion") {
            options.diagnosticMotion = true;
        } else if (arg == "--can-rate") {
            good = number(0, 100000, options.canFramesPerSecond);
        } else if (arg == "--can-ids") {
            good = number(1, 4096, options.canIdentifiers);
        } else if (arg == "--can-log") {
            good = text(options.canLog);
        } else if (arg == "--can-buffer") {
            good = number(0, 1000000, options.canBufferFrames);
        } else if (arg == "--can-flip") {
            std::string v;
            good = text(v);
            unsigned byte = 8, bit = 8;
            char id[16] = {}, tail = 0;
            if (good && (std::sscanf(v.c_str(), "%15[0-9a-fA-F]:%u:%u%c", id, &byte, &bit, &tail) != 3 ||
                         byte > 7 || bit > 7 || std::strlen(id) > 8)) {
                good = refuse("--can-flip: '" + v + "' is not ID:BYTE:BIT, BYTE and BIT 0 to 7");
            }
            options.canFlip.id = uint32_t(std::strtoul(id, nullptr, 16));
            options.canFlip.extended = std::strlen(id) > 3;
            options.canFlip.byte = int(byte);
            options.canFlip.bit = int(bit);
            flips = true;
        } else if (arg == "--queue") {
            good = number(1, 1LL << 30, options.textQueueBytes);
        } else if (arg == "--trace") {
            trace = true;
        } else if (arg == "--refuse-commits") {
            options.refuseCommits = true;
        } else if (arg == "--keep-settings") {
            options.keepSettingsOnWrite = true;
        } else if (arg == "--reset-on-firmware") {
            options.resetSettingsOnFirmware = true;
        } else {
            good = refuse("unknown option " + arg);
        }
        if (!good) {
            return false;
        }
    }
    options.versionText = type + "\n" + version + "\nMay 12 2017 09:30:00";
    if (options.diagnosticMotion && !periodGiven) {
        options.diagnosticPeriodMs = 10;  // 100 readings a second, as the sensor gives
    }
    return true;
}

// Now on the computer's clock, "1436509052.249713" as candump logs stamp.
std::string Stamp() {
    using namespace std::chrono;
    long long us = duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%06lld", us / 1000000, us % 1000000);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
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
    Refusal refusal;
    bool flips = false, trace = false;
    if (!Parse(argc, argv, options, com, link, flips, trace, refusal)) {
        std::fprintf(stderr, "k57sim: %s\n\n", refusal.why.c_str());
        std::fputs(kUsage, stderr);
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
        unlink(link.c_str());
        if (symlink(unit.devicePath().c_str(), link.c_str()) != 0) {
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
    while (!stopRequested) {
        pollfd in{0, POLLIN, 0};
        int ready = poll(&in, input ? 1 : 0, input ? 100 : 1000);
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
    if (!link.empty()) {
        unlink(link.c_str());
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
