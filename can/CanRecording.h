#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <unordered_set>
#include <vector>

#include "CanFrameLog.h"

namespace k57 {

// The log formats a capture can be opened from.
enum class CanLogFormat {
    Candump,  // "(1436509052.249713) can0 1A0#0011...": as the window saves
    Asc,      // Vector ASC: times in seconds from the start of measurement
    Csv,      // python-can's CSV: timestamp,arbitration_id,extended,remote,error,dlc,data
    Trc,      // PCAN trace, file versions 1.x and 2.x: times in ms from the start of the file
    Blf,      // Vector binary logging format: objects in (zlib) containers
};

// A capture read from a file, frames in the file's order, with what was
// wrong in it: malformed lines by number (reading goes on past them; in a
// binary file, the damage by byte offset, and reading ends there), and
// frames that are not classic data or remote frames (error, FD, a trace's
// status lines), counted.
struct CanRecording {
    struct Problem {
        int line;  // 0 in a binary file: the message gives the byte offset
        std::string message;
    };
    static constexpr size_t kMaxProblems = 100;
    // About 100 MB of frames, eleven hours of a busy 500 kbit/s bus: a
    // longer capture is refused rather than taken whole.
    static constexpr size_t kMaxFrames = 4'000'000;
    // Far more than a bus carries (an extended-identifier bus with every
    // source address in use holds a few thousand); each one costs every
    // analysis a kilobyte or so, so a capture of more is refused too.
    static constexpr size_t kMaxIdentifiers = 65'536;

    std::vector<LoggedFrame> frames;
    // kMaxFrames reached, or a frame of one identifier more than
    // kMaxIdentifiers came; reading stopped there.
    bool full = false;
    std::unordered_set<uint64_t> identifiers;  // CanRecord::Key() of each seen
    std::vector<Problem> problems;  // the first kMaxProblems
    int malformed = 0;
    int skipped = 0;

    void Malformed(int line, const std::string& message);
    // False, and nothing kept, once the recording is full.
    bool Add(const LoggedFrame& frame);
};

// By the name's ending (".asc", ".csv", ".trc", ".blf"), else by the first
// line (a BLF file's first bytes, "LOGG"); candump when nothing says
// otherwise.
CanLogFormat CanLogFormatOf(const std::string& path, const std::string& firstLine);
// `size`: the file's size when known, -1 otherwise (standard input); a
// binary file's declared sizes are checked against it.
void ReadCanLog(std::istream& in, CanLogFormat format, CanRecording& recording,
                long long size = -1);
// Opens `path` ("-": standard input) once and reads it as a stream, its
// lines cut at FileLimits::kLine; false with the reason in `error` when it
// cannot be opened or read, is not a regular file, or holds more than
// kMaxFrames frames or kMaxIdentifiers identifiers.
bool ReadCanLogFile(const std::string& path, CanRecording& recording, std::string& error);
// The format ReadCanLogFile reads `path` in, by its name and first bytes.
bool CanLogFormatOfFile(const std::string& path, CanLogFormat& format, std::string& error);

// "longer than 4096 bytes": a line cut at FileLimits::kLine.
std::string LongLine();

// "1A0" as a number: at most `maxDigits` hex digits.
bool HexNumber(const std::string& text, uint32_t& value, size_t maxDigits = 8);
// Whether `id` fits a standard or an extended identifier.
bool IdentifierFits(uint32_t id, bool extended);

// "1436509052.249713" as microseconds, exactly; false when not a number.
bool ParseSeconds(const std::string& text, int64_t& microseconds);

}  // namespace k57
