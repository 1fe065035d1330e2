#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "TraceEntry.h"

namespace k57 {

// Bytes per line of a hex dump.
constexpr size_t kTraceDumpWidth = 16;

// "0010  41 3D 31 00 ...  A=1." lines, `kTraceDumpWidth` bytes each.
std::vector<std::string> HexDump(const uint8_t* bytes, size_t n);

// How many lines FormatTrace gives for an entry of `n` bytes.
inline size_t TraceLineCount(size_t n) {
    return 1 + (n + kTraceDumpWidth - 1) / kTraceDumpWidth;
}

// The entry's heading, "2026-05-14 14:03:07.123  +0.004 s  RX  IdInfoMessage
// (11)  12 bytes  ReplyOk (1)", then its hex dump indented.
std::vector<std::string> FormatTrace(const TraceEntry& entry);

}  // namespace k57
