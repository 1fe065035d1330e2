#include "SimCommandLine.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <type_traits>

#include "PortMapping.h"

namespace k57::sim {

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
    "  --hang-up-on-write   go silent at a settings write, keeping the old settings,\n"
    "                       and answer nothing more (a unit pulled out mid-write)\n"
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
    "  --next-serials S1,S2,...  after the tool has written the settings and left\n"
    "                       the unit alone for 300 ms, pull it out and plug in\n"
    "                       the next unit: serial S1 (then S2...), no settings,\n"
    "                       the other options the same; the last one stays\n"
    "  --away MS            how long a pulled unit stays out (default 1000)\n"
    "  --trace              print every frame in and out on standard error, as\n"
    "                       k57ctl --trace does from the tool's side\n"
    "  --help               show this text\n"
    "  --version            alone: show this program's version\n"
    "\n"
    "The COM name is an entry of the tool's ports directory; it is removed\n"
    "when the simulator ends (Ctrl+C), unless another program has replaced it.\n"
    "A COM name whose entry leads to a device that is there (another running\n"
    "simulated unit) is refused with exit code 2.\n";

namespace {

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

// "S1,S2,...": serial numbers, at most 10000 of them.
bool Serials(const std::string& text, std::vector<uint32_t>& serials) {
    for (size_t at = 0; at <= text.size() && serials.size() < 10000;) {
        size_t comma = std::min(text.find(',', at), text.size());
        long long serial = 0;
        if (!Number(text.substr(at, comma - at), 0, 0xFFFFFFFFLL, serial)) {
            return false;
        }
        serials.push_back(uint32_t(serial));
        at = comma + 1;
    }
    return serials.size() < 10000;
}

// Why a capture to replay cannot be read, in k57sim's English; empty when
// it can.
std::string CaptureProblem(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return errno == ENOENT || errno == ENOTDIR ? "no such file" : std::strerror(errno);
    }
    if (!S_ISREG(info.st_mode)) {
        return "not a regular file";
    }
    return ::access(path.c_str(), R_OK) == 0 ? "" : "no permission to read it";
}

}  // namespace

bool Parse(int argc, char** argv, UnitOptions& options, int& com, std::string& link,
           Row& row, bool& flips, bool& trace, Refusal& refuse) {
    using Fault = UnitOptions::Fault;
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
            com = ports::ComNumber(name);
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
            if (good && colon == std::string::npos) {
                good = refuse("--dribble needs BYTES:MS");
            } else if (good && (!Number(v.substr(0, colon), 1, 1024, bytes) ||
                                !Number(v.substr(colon + 1), 0, 60000, pause))) {
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
            // Refused here: a capture that cannot be read would play nothing.
            std::string why = good ? CaptureProblem(options.canLog) : "";
            if (!why.empty()) {
                good = refuse("--can-log: " + options.canLog + ": " + why);
            }
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
        } else if (arg == "--next-serials") {
            std::string v;
            good = text(v);
            if (good && !Serials(v, row.serials)) {
                good = refuse("--next-serials: '" + v + "' is not serial numbers S1,S2,...");
            }
        } else if (arg == "--away") {
            good = number(0, 600000, row.awayMs);
        } else if (arg == "--trace") {
            trace = true;
        } else if (arg == "--refuse-commits") {
            options.refuseCommits = true;
        } else if (arg == "--hang-up-on-write") {
            options.hangUpOnSettingsWrite = true;
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
}  // namespace k57::sim
