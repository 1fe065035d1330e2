#pragma once

#include <istream>

#include "CanRecording.h"

namespace k57 {

// A PCAN trace: file version 1.0 (no header), 1.1 to 1.3 and 2.0 to 2.1, as
// its ";$FILEVERSION=" line says; 2.x columns as ";$COLUMNS=" lists them.
// Frames keep the trace's offsets from the start of the file. Data and
// remote frames are read; error, status, event and CAN FD lines are
// counted as skipped; comments pass; a line that cannot be read is
// malformed, by number, and reading goes on.
void ReadTrc(std::istream& in, CanRecording& recording);

}  // namespace k57
