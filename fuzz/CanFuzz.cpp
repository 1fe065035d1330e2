// The CAN line reader and the capture model on any bytes from the port.

#include "CanCapture.h"
#include "CanLink.h"
#include "MemoryChannel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    k57::fuzz::MemoryChannel link(data + 2, size - 2, data[1]);
    k57::CanLink can(link);
    k57::CanCapture capture;
    k57::FilterMode mode = k57::FilterMode(data[0] % 3);
    bool captureView = data[0] & 4;
    while (!link.Exhausted()) {
        if (std::optional<std::string> line = can.ReadCanLine(0)) {
            capture.HandleLine(*line, mode, captureView);
        } else {
            link.WaitForInput(0);
        }
    }
    return 0;
}
