#pragma once

#include <istream>

#include "CanRecording.h"

namespace k57 {

// A Vector binary log: the file header, then objects, CAN ones in log
// containers (stored or zlib-compressed) whose data run on from one
// container into the next. CAN_MESSAGE and CAN_MESSAGE2 objects become
// frames, their times (10 us or 1 ns units, as the object says) counted
// from the start of the file; CAN FD and error objects are counted as
// skipped, whatever the length; other objects pass.
//
// Memory stays bounded: a container or object larger than kMaxObject, or
// than what is left of the file (`size`, when known, else -1), is refused
// before its bytes are taken. Damage (a truncated file, an object past the
// end of the data, a size too small for a header, bytes that are no
// object) ends the reading with one problem giving the byte offset and the
// reason; the frames before it are kept.
constexpr long long kMaxBlfObject = 16 << 20;  // containers are 128 KB as written
void ReadBlf(std::istream& in, long long size, CanRecording& recording);

}  // namespace k57
