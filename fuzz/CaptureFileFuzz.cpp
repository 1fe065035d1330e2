// The capture file readers (candump, ASC, CSV, PCAN trace, BLF) on any
// bytes: the first picks the format, the rest is the file.

#include <sstream>

#include "CanRecording.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const k57::CanLogFormat formats[] = {k57::CanLogFormat::Candump, k57::CanLogFormat::Asc,
                                         k57::CanLogFormat::Csv, k57::CanLogFormat::Trc,
                                         k57::CanLogFormat::Blf};
    std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::istringstream in(bytes);
    k57::CanRecording recording;
    // Half the runs with the file's size, half as standard input without it.
    long long known = data[0] & 0x80 ? static_cast<long long>(bytes.size()) : -1;
    k57::ReadCanLog(in, formats[(data[0] & 0x7F) % 5], recording, known);
    return 0;
}
