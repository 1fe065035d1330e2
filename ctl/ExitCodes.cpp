#include "ExitCodes.h"

#include "PortMapping.h"
#include "Terminal.h"

namespace k57::ctl {

int ExitFor(int result) {
    switch (result) {
        case kReplyOk:
            return kDone;
        case kPortUnavailable:
            return kNoPort;
        case kBadReply:
            return kWrongReply;
        case kCannotFrame:
            return kBadInput;
        default:
            // Ctrl+C ends the wait for a reply as if none came; a unit
            // gone mid-request is a reply that never came, too.
            return Interrupted() ? kInterrupted : kTimedOut;
    }
}

std::string Describe(const RequestFailure& f) {
    std::string port = ports::ShownName(f.port);
    switch (f.result) {
        case kPortUnavailable:
            return port + ": cannot open the port (" + f.reason + ")";
        case kLineLost:
            return port + ": the connection was lost: the unit was unplugged or its port went away";
        case kNoReply:
            return f.abandoned
                       ? port + ": interrupted"
                       : port + ": no reply within " + std::to_string(f.timeoutMs / 1000) + " s";
        case kBadReply:
            return f.decoded ? port + ": a reply of type " + std::to_string(f.replyType) +
                                   " instead of " + std::to_string(f.expectedType)
                             : port + ": a reply that cannot be read (type " +
                                   std::to_string(f.replyType) + ", " +
                                   std::to_string(f.replyLength) + " bytes)";
        case kCannotFrame:
            return "the settings text is too long for the unit (" + f.reason + ", at most " +
                   std::to_string(kMaxSettingsText) + ")";
        default:
            return port + ": done";
    }
}

}  // namespace k57::ctl
