#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "DeviceInterface.h"
#include "UpdateOutcome.h"

// What k57ctl needs of the terminal and the console: whether a stream is
// one, a yes/no question, a progress display, and Ctrl+C.
namespace k57::ctl {

// A terminal or console, also when UseUtf8Console() routes it (Windows).
bool IsTerminal(std::FILE* stream);

// Asks on the terminal; true for yes.
bool Confirm(const std::string& question);

// From the first Ctrl+C on, Interrupted() holds and the request running on
// `device` is abandoned at its next look at the port.
void CatchInterrupt(DeviceInterface* device);
bool Interrupted();

// While one lives, Ctrl+C lets the request on its way finish (within its
// reply time-out) instead of ending its wait: an update's fragment is then
// acknowledged before the program stops, and no late acknowledgement is
// left for the next program to take for its reply.
class HeldWaits {
  public:
    HeldWaits();
    ~HeldWaits();
    HeldWaits(const HeldWaits&) = delete;
    HeldWaits& operator=(const HeldWaits&) = delete;
};

// An update's progress, on standard error beside the other steps (standard
// output holds results alone): on a terminal a bar with percentage, bytes,
// rate and time left, redrawn in place; otherwise one plain line per 10 %;
// nothing when `quiet`. Finish ends the bar's line, so what follows starts
// a line of its own.
class Progress {
  public:
    Progress(std::string what, bool quiet);
    void Update(const UpdateProgress& progress);
    void Finish();

  private:
    std::string what_;
    bool quiet_;
    bool terminal_;
    bool drawn_ = false;
    int lastTenth_ = -1;
    int64_t lastDrawMs_ = -1000;
};

// "12.3 KB" for a byte count, in units of 1024; the unit's word as the
// line speaks ("КБ" under --lang ru).
std::string Kilobytes(double bytes, const std::string& unit = "KB");

}  // namespace k57::ctl
