#include "TraceFormat.h"

#include <cstdio>
#include <ctime>

namespace k57 {

namespace {

const char* DirectionText(TraceEntry::Direction direction) {
    switch (direction) {
        case TraceEntry::Direction::Out:
            return "TX";
        case TraceEntry::Direction::In:
            return "RX";
        default:
            return "--";
    }
}

// Local time with milliseconds; both ends of the link stamp on their own
// computer's clock, so the tool's and the unit's traces line up.
std::string Stamp(int64_t timeUs) {
    std::time_t seconds = std::time_t(timeUs / 1000000);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    char text[40];
    size_t n = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    std::snprintf(text + n, sizeof text - n, ".%03d", int(timeUs / 1000 % 1000));
    return text;
}

}  // namespace

std::vector<std::string> HexDump(const uint8_t* bytes, size_t n) {
    std::vector<std::string> lines;
    for (size_t at = 0; at < n; at += kTraceDumpWidth) {
        char line[16 + kTraceDumpWidth * 4];
        int used = std::snprintf(line, sizeof line, "%04zX ", at);
        std::string ascii;
        for (size_t i = 0; i < kTraceDumpWidth; ++i) {
            if (i == kTraceDumpWidth / 2) {
                line[used++] = ' ';
            }
            if (at + i < n) {
                uint8_t b = bytes[at + i];
                used += std::snprintf(line + used, sizeof line - size_t(used), " %02X", b);
                ascii += b >= 0x20 && b < 0x7F ? char(b) : '.';
            } else {
                used += std::snprintf(line + used, sizeof line - size_t(used), "   ");
            }
        }
        lines.push_back(std::string(line, size_t(used)) + "  " + ascii);
    }
    return lines;
}

std::vector<std::string> FormatTrace(const TraceEntry& entry) {
    char since[32];
    std::snprintf(since, sizeof since, "+%lld.%03d s", static_cast<long long>(entry.sinceUs / 1000000),
                  int(entry.sinceUs / 1000 % 1000));
    std::string heading = Stamp(entry.timeUs) + "  " + since + "  " +
                          DirectionText(entry.direction) + "  " + entry.what;
    if (!entry.bytes.empty() || entry.direction != TraceEntry::Direction::Note) {
        heading += "  " + std::to_string(entry.bytes.size()) + " bytes";
    }
    if (!entry.outcome.empty()) {
        heading += "  " + entry.outcome;
    }
    std::vector<std::string> lines{heading};
    for (std::string& line : HexDump(entry.bytes.data(), entry.bytes.size())) {
        lines.push_back("        " + line);
    }
    return lines;
}

}  // namespace k57
