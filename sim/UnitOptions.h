#pragma once

#include <cstdint>
#include <set>
#include <string>

namespace k57::sim {

// How the simulated unit answers. Faults apply to the requests whose codes
// are in `faultCodes`, or to every request when it is empty.
struct UnitOptions {
    enum class Fault {
        None,
        Silent,       // no reply at all
        WrongType,    // a well-formed reply of another type
        Undecodable,  // a text frame with N = 3 whose count says 5
        Oversize,     // a header announcing N = 1017, then 1017 bytes
    };

    uint32_t serial = 12345678;
    std::string versionText = "K57BT\n000.008\nMay 12 2017 09:30:00";
    std::string settings;      // the unit's settings text (Windows-1251 bytes)
    std::string settingsFile;  // when set: read at start, rewritten on every write

    Fault fault = Fault::None;
    std::set<int> faultCodes;
    int dribbleBytes = 0;           // replies go out in pieces of this many bytes...
    int dribblePauseMs = 0;         // ...with this pause between them
    uint32_t byteRate = 0;          // bytes per second on the wire each way; 0: unpaced
    int hangUpAfterFragments = -1;  // goes silent after acknowledging this many
    bool refuseCommits = false;     // never acknowledges a commit
    // Acknowledges a settings write and keeps its old settings, as a unit
    // whose flash write failed does.
    bool keepSettingsOnWrite = false;
    // Goes silent at a settings write, keeping its old settings, and
    // answers nothing more: a unit pulled out while it is written.
    bool hangUpOnSettingsWrite = false;
    // A firmware update that the unit accepts also empties its settings,
    // as some firmware changes do.
    bool resetSettingsOnFirmware = false;

    // Diagnostic mode: a "$AccD:" line every period, and every tenth line
    // an event line, each preceded by CR LF.
    int diagnosticPeriodMs = 100;
    // The readings of a motion sensor on a parked car (MotionTrace) instead
    // of a fixed pattern: rest noise, taps as damped bursts, a slow tilt.
    bool diagnosticMotion = false;
    // The CAN channel while open: synthetic frames at this rate over this
    // many identifiers, or, when `canLog` names a candump text log, its
    // frames replayed at their own pace, over and over.
    int canFramesPerSecond = 200;
    int canIdentifiers = 24;
    std::string canLog;
    bool canSilent = false;  // no answer to the CAN commands
    // Frames the unit holds for a reader that does not read, as a real
    // adapter's buffer does; what does not fit is dropped and counted.
    int canBufferFrames = 300;
    // A bit that Unit::flipCanBit toggles (k57sim: SIGUSR1 or a line on its
    // standard input), from then on in every frame of its identifier.
    struct CanBit {
        uint32_t id = 0;
        bool extended = false;
        int byte = 0;
        int bit = 0;  // 0-7, 7 the most significant
    };
    CanBit canFlip;
    // Floods, as fast as the line takes them: diagnostic event lines, and
    // bytes on the open CAN channel that never end a line.
    bool diagnosticFlood = false;
    // Text the tool has not read waits up to this many bytes; beyond it,
    // whole lines are dropped.
    size_t textQueueBytes = 64 * 1024;
    bool canNoise = false;
};

}  // namespace k57::sim
