// k57sim: a simulated K57 unit on a pseudo-terminal, registered under a COM
// name so that the tool reaches it like a real unit.

#include <unistd.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "PortMapping.h"
#include "Unit.h"
#include "Version.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) {
    stopRequested = 1;
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
    "  --diag-period MS     diagnostic mode: one reading line every MS (default 100)\n"
    "  --can-rate N         CAN channel: N synthetic frames a second (default 200)\n"
    "  --can-ids N          ...over N identifiers (default 24, at most 4096)\n"
    "  --can-log FILE       CAN channel: replay a candump text log instead\n"
    "  --queue BYTES        text a slow reader has not taken waits up to BYTES\n"
    "                       (default 65536); beyond, whole lines are dropped\n"
    "  --help               show this text\n"
    "  --version            alone: show this program's version\n"
    "\n"
    "The COM name is an entry of the tool's ports directory; it is removed\n"
    "when the simulator ends (Ctrl+C).\n";

bool Parse(int argc, char** argv, k57::sim::UnitOptions& options, int& com, std::string& link) {
    using Fault = k57::sim::UnitOptions::Fault;
    std::string type = "K57BT", version = "000.008";
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
        if (arg == "--port") {
            com = k57::ports::ComNumber(value());
        } else if (arg == "--link") {
            link = value();
        } else if (arg == "--serial") {
            options.serial = uint32_t(std::strtoul(value().c_str(), nullptr, 0));
        } else if (arg == "--type") {
            type = value();
        } else if (arg == "--version") {
            version = value();
        } else if (arg == "--settings") {
            options.settingsFile = value();
        } else if (arg == "--silent") {
            options.fault = Fault::Silent;
        } else if (arg == "--wrong-type") {
            options.fault = Fault::WrongType;
        } else if (arg == "--undecodable") {
            options.fault = Fault::Undecodable;
        } else if (arg == "--oversize") {
            options.fault = Fault::Oversize;
        } else if (arg == "--dribble") {
            std::string v = value();
            options.dribbleBytes = std::atoi(v.c_str());
            size_t colon = v.find(':');
            options.dribblePauseMs =
                colon == std::string::npos ? 0 : std::atoi(v.c_str() + colon + 1);
        } else if (arg == "--rate") {
            options.byteRate = uint32_t(std::atoi(value().c_str()) / 10);
        } else if (arg == "--hang-up-after") {
            options.hangUpAfterFragments = std::atoi(value().c_str());
        } else if (arg == "--diag-period") {
            options.diagnosticPeriodMs = std::atoi(value().c_str());
        } else if (arg == "--can-rate") {
            options.canFramesPerSecond = std::atoi(value().c_str());
        } else if (arg == "--can-ids") {
            options.canIdentifiers = std::atoi(value().c_str());
        } else if (arg == "--can-log") {
            options.canLog = value();
        } else if (arg == "--queue") {
            options.textQueueBytes = size_t(std::strtoul(value().c_str(), nullptr, 0));
        } else if (arg == "--refuse-commits") {
            options.refuseCommits = true;
        } else {
            return false;
        }
    }
    options.versionText = type + "\n" + version + "\nMay 12 2017 09:30:00";
    return com > 0 || !link.empty();
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
    if (!Parse(argc, argv, options, com, link)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    k57::sim::Unit unit(options);
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
    } else if (!unit.registerAs(com)) {
        std::fprintf(stderr, "k57sim: cannot register COM%d in %s\n", com,
                     k57::ports::Directory().c_str());
        return 1;
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
    while (!stopRequested) {
        pause();
    }
    if (!link.empty()) {
        unlink(link.c_str());
    }
    if (unit.droppedLines() > 0) {
        std::fprintf(stderr, "k57sim: %d lines dropped whole: the tool did not read them in time\n",
                     unit.droppedLines());
    }
    if (unit.skippedFrames() > 0) {
        std::fprintf(stderr,
                     "k57sim: %d frames of the capture skipped: error or FD frames, more than 8 "
                     "bytes, or 3-digit identifiers above 7FF\n",
                     unit.skippedFrames());
    }
    return 0;
}
