#pragma once

#include <string>

#include "DeviceInterface.h"

namespace k57::ctl {

// What k57ctl's exit code tells a script.
enum Exit {
    kDone = 0,
    kBadInput = 1,   // bad usage or invalid input (a value, a file too large or not a
                     // regular file), a question left unanswered, or a change
                     // refused for want of a backup
    kNoPort = 2,     // the port cannot be opened
    kTimedOut = 3,   // no reply in time (or no unit found)
    kWrongReply = 4, // a reply that cannot be read or is of another type
    kRefused = 5,    // the unit did not acknowledge a commit
    kNoJournal = 6,  // the service journal cannot be read or written, or a file cannot
                     // be written (the old one is left whole)
    kNotConfirmed = 7,  // settings sent, but reading them back shows other values or
                        // fails: the unit's state is to be checked
    kPackageRefused = 7,  // an update package refused by its check (package verify,
                          // update --package): nothing of it reached a unit
    kInterrupted = 130,
};

// The exit code for a request's result: 130 for a wait Ctrl+C ended.
int ExitFor(int result);

// "COM5: no reply within 4 s" and the like, for the last failed request.
std::string Describe(const RequestFailure& failure);

}  // namespace k57::ctl
