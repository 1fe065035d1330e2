#pragma once

#include "DiagnosticLines.h"
#include "ByteChannel.h"

namespace k57 {

// The unit's diagnostic stream as the diagnostic monitor and k57ctl read
// it: once the unit has been asked into diagnostic mode (a device request
// the caller makes), the text lines it sends, turned into axis readings and
// event lines. Nothing is sent to the unit from here.
class DiagnosticSession {
  public:
    // The most a read takes at once: a flood waits for the next read
    // rather than holding the caller.
    static constexpr int kReadBytes = 16384;

    // Reads `link` from now on; the link must live until Stop.
    void Start(ByteChannel& link) { link_ = &link; }
    // Closes the port, which ends the stream; nothing when not started.
    void Stop();
    bool Started() const { return link_ != nullptr; }
    // False once no more bytes can come: the port closed or hung up.
    bool Connected() const;

    // What the complete lines among the bytes waiting say, taking at most
    // `maxBytes`, after waiting up to `waitMs` for the first byte.
    DiagnosticLines::Result Pump(int maxBytes = kReadBytes, int waitMs = 0);

  private:
    ByteChannel* link_ = nullptr;
    DiagnosticLines lines_;
};

}  // namespace k57
