#pragma once

#include <cstdint>

namespace k57 {

// How an update ended.
enum class UpdateOutcome {
    Running,            // not ended yet
    Done,               // the unit acknowledged the commit
    NotConnected,       // the version check got no usable reply
    VersionUnreadable,  // the unit's version reply is not type, version and rest
    Declined,           // the unit's firmware is not older and nobody confirmed
    StartFailed,        // the unit did not accept the start of the update
    SendFailed,         // a fragment was not acknowledged; nothing was committed
    CommitRefused,      // the unit did not confirm size and checksum
    Stopped,            // stopped by the user; nothing more was sent
    ImageInvalid,       // the image or package does not hold what it should
    PackageRefused,     // the package may not replace the unit's firmware
};

// How far the fragments have gone, for a progress display.
struct UpdateProgress {
    int fragmentsSent = 0;
    int fragments = 0;  // the fragments expected
    int64_t bytesSent = 0;
    int64_t bytes = 0;          // to be sent in all
    double bytesPerSecond = 0;  // since the first fragment
    double seconds = 0;         // since the first fragment

    int Percent() const { return bytes > 0 ? int(bytesSent * 100 / bytes) : 0; }
    // At the rate so far; 0 before there is one.
    int SecondsLeft() const {
        return bytesPerSecond > 0 ? int(double(bytes - bytesSent) / bytesPerSecond + 0.5) : 0;
    }
};

}  // namespace k57
