#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "DeviceInterface.h"

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

// A progress bar with percentage, rate and time left on a terminal; one
// plain line per 10 % otherwise; nothing when `quiet`.
class Progress {
  public:
    Progress(std::string what, int64_t total, bool quiet);
    void Update(int64_t done);
    void Finish();

  private:
    std::string what_;
    int64_t total_;
    bool quiet_;
    bool terminal_;
    int64_t startMs_;
    int lastTenth_ = -1;
    int64_t lastDrawMs_ = -1000;
};

}  // namespace k57::ctl
