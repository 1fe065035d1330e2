// can and diag: the unit's text streams, printed as they come.

#include <chrono>
#include <cstdio>
#include <string>

#include "CanSession.h"
#include "Commands.h"
#include "Cp1251.h"
#include "DecodedFrames.h"
#include "DiagnosticSession.h"
#include "ExitCodes.h"
#include "PortMapping.h"
#include "Terminal.h"

namespace k57::ctl {

namespace {

std::string Stamp() {
    return CandumpStamp(CandumpNow());
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

int Can(Context& context, int bitRateKbit, int64_t count, double seconds,
        const std::string& filterText, const std::string& dbcFile, const std::string& encoding) {
    CanFilter filter;
    std::string error;
    if (!CanFilter::Parse(filterText, filter, error)) {
        return Fail("--filter: " + error, kBadInput);
    }
    int code = -1;
    for (int i = 0; i < int(std::size(CanLink::kBitRates)); ++i) {
        if (std::to_string(bitRateKbit) == CanLink::kBitRates[i]) {
            code = i;
        }
    }
    if (code < 0) {
        return Fail("--bitrate takes 10, 20, 50, 100, 125, 250, 500, 800 or 1000", kBadInput);
    }
    // With a signal database, the frames it knows are printed decoded.
    dbc::ParseResult database;
    if (!dbcFile.empty() && !LoadDatabase(dbcFile, encoding, database)) {
        return kBadInput;
    }
    std::vector<dbc::Value> values;
    DecodedLines decoded;
    std::string line;
    const std::string port = ports::ShownName(context.device->PortName());
    CanSession can;
    can.SetFilter(filter);
    CanSession::Opening opening = can.Open(context.device->Channel(), code);
    if (opening.result == k57::kPortUnavailable) {
        return Fail(port + ": cannot open the port (" + opening.reason + ")", kNoPort);
    }
    if (opening.result != k57::kReplyOk) {
        return Fail(port + ": no answer on the CAN channel", kTimedOut);
    }
    Say(context,
        "CAN channel open at " + std::to_string(bitRateKbit) + " kbit/s, unit " + opening.version);
    Deadline deadline(seconds);
    int64_t printed = 0;
    bool lost = false;
    while (!deadline.Passed() && (count <= 0 || printed < count)) {
        std::optional<CanSession::Frame> frame = can.NextFrame(100);
        if (!frame) {
            // Nothing came; a unit that has gone sends nothing ever again.
            if ((lost = !can.Connected())) {
                break;
            }
            continue;
        }
        const CanRecord& record = frame->record;
        const dbc::Message* message =
            record.remote ? nullptr : database.database.Find(record.id, record.extended);
        if (message) {
            dbc::Decode(*message, record.data, size_t(record.Columns()), values);
            line.clear();
            if (context.json) {
                decoded.Json(line, frame->us, *message, values);
            } else {
                decoded.Text(line, frame->us, *message, values);
            }
            std::printf("%s\n", line.c_str());
        } else {
            std::printf("%s\n", CandumpLine(record, frame->us).c_str());
        }
        std::fflush(stdout);
        ++printed;
    }
    can.Close();
    if (lost) {
        return Fail(port + ": the unit is gone after " + std::to_string(printed) + " frame(s)",
                    kTimedOut);
    }
    Say(context, "CAN channel closed after " + std::to_string(printed) + " frame(s)");
    return Interrupted() ? kInterrupted : kDone;
}

int Diag(Context& context, double seconds) {
    DeviceInterface& device = *context.device;
    if (device.EnterDiagnosticMode() != 0) {
        return Failed(context, kPortUnavailable);
    }
    Say(context, "diagnostic mode; Ctrl+C ends it");
    DiagnosticSession diagnostic;
    diagnostic.Start(device.Channel());
    Deadline deadline(seconds);
    while (!deadline.Passed() && diagnostic.Connected()) {
        DiagnosticLines::Result result = diagnostic.Pump(DiagnosticSession::kReadBytes, 100);
        if (result.axis[0] || result.axis[1] || result.axis[2]) {
            std::printf("%s X=%d Y=%d Z=%d\n", Stamp().c_str(), result.axis[0].value_or(0),
                        result.axis[1].value_or(0), result.axis[2].value_or(0));
        }
        for (const std::string& event : result.events) {
            std::printf("%s %s\n", Stamp().c_str(), cp1251::ToUtf8(event).c_str());
        }
        std::fflush(stdout);
    }
    diagnostic.Stop();
    return Interrupted() ? kInterrupted : kDone;
}

}  // namespace k57::ctl
