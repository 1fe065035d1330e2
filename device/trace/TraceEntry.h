#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace k57 {

// One event on the link, as the trace keeps it: the bytes are formatted only
// when someone reads them.
struct TraceEntry {
    enum class Direction { Out, In, Note };

    Direction direction = Direction::Note;
    // The message type code when the bytes begin with a frame's header
    // (complete or not); -1 for bytes that are no frame and for notes.
    int code = -1;
    std::string what;     // "IdInfoMessage (11)", "noise", "no reply within 4000 ms"
    std::string outcome;  // the exchange's named result, when this entry settles it
    std::vector<uint8_t> bytes;

    // Filled in when recorded.
    uint64_t sequence = 0;
    int64_t timeUs = 0;   // wall clock, microseconds since 1970
    int64_t sinceUs = 0;  // since the entry before it
};

}  // namespace k57
