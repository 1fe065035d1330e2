// can and diag: the unit's text streams, printed as they come.

#include <chrono>
#include <cstdio>
#include <string>

#include "CanCapture.h"
#include "CanFrameLog.h"
#include "CanLink.h"
#include "Commands.h"
#include "Cp1251.h"
#include "DiagnosticLines.h"
#include "ExitCodes.h"
#include "PortMapping.h"
#include "Terminal.h"

namespace k57::ctl {

namespace {

// Now on the wall clock, as candump logs stamp frames.
int64_t NowUs() {
    using namespace std::chrono;
    return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
}

std::string Stamp() {
    return CandumpStamp(NowUs());
}

// Ends after `seconds` (when positive), or on Ctrl+C.
class Deadline {
  public:
    explicit Deadline(double seconds)
        : seconds_(seconds), start_(std::chrono::steady_clock::now()) {}
    bool Passed() const {
        std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start_;
        return Interrupted() || (seconds_ > 0 && elapsed.count() >= seconds_);
    }

  private:
    double seconds_;
    std::chrono::steady_clock::time_point start_;
};

}  // namespace

int Can(Context& context, int bitRateKbit, int64_t count, double seconds) {
    int code = -1;
    for (int i = 0; i < int(std::size(CanLink::kBitRates)); ++i) {
        if (std::to_string(bitRateKbit) == CanLink::kBitRates[i]) {
            code = i;
        }
    }
    if (code < 0) {
        return Fail("--bitrate takes 10, 20, 50, 100, 125, 250, 500, 800 or 1000", kBadInput);
    }
    TextLink& link = context.device->Link();
    if (!link.Open()) {
        return Fail(ports::ShownName(context.device->PortName()) + ": cannot open the port (" +
                        link.OpenError() + ")",
                    kNoPort);
    }
    CanLink can(link);
    std::optional<std::string> version = can.OpenCan(code);
    if (!version) {
        can.CloseCan();
        return Fail(ports::ShownName(context.device->PortName()) + ": no answer on the CAN channel",
                    kNoReply);
    }
    Say(context,
        "CAN channel open at " + std::to_string(bitRateKbit) + " kbit/s, unit " + *version);
    Deadline deadline(seconds);
    int64_t printed = 0;
    while (!deadline.Passed() && (count <= 0 || printed < count)) {
        std::optional<std::string> line = can.ReadCanLine(100);
        CanRecord frame;
        if (!line || !CanCapture::ParseCanFrame(*line, frame)) {
            continue;
        }
        std::printf("%s\n", CandumpLine(frame, NowUs()).c_str());
        std::fflush(stdout);
        ++printed;
    }
    can.CloseCan();
    Say(context, "CAN channel closed after " + std::to_string(printed) + " frame(s)");
    return Interrupted() ? kInterrupted : kDone;
}

int Diag(Context& context, double seconds) {
    DeviceInterface& device = *context.device;
    if (device.EnterDiagnosticMode() != 0) {
        return Failed(context, kPortUnavailable);
    }
    Say(context, "diagnostic mode; Ctrl+C ends it");
    TextLink& link = device.Link();
    DiagnosticLines lines;
    Deadline deadline(seconds);
    while (!deadline.Passed()) {
        if (!link.WaitForInput(100)) {
            break;
        }
        int waiting = link.input().available();
        if (waiting <= 0) {
            continue;
        }
        std::string bytes(size_t(waiting), '\0');
        if (link.input().read(bytes.data(), waiting) != waiting) {
            continue;
        }
        DiagnosticLines::Result result = lines.Feed(bytes);
        if (result.axis[0] || result.axis[1] || result.axis[2]) {
            std::printf("%s X=%d Y=%d Z=%d\n", Stamp().c_str(), result.axis[0].value_or(0),
                        result.axis[1].value_or(0), result.axis[2].value_or(0));
        }
        for (const std::string& event : result.events) {
            std::printf("%s %s\n", Stamp().c_str(), cp1251::ToUtf8(event).c_str());
        }
        std::fflush(stdout);
    }
    device.ClosePort();
    return Interrupted() ? kInterrupted : kDone;
}

}  // namespace k57::ctl
