#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "AbstractMessage.h"
#include "Trace.h"

// What the framed protocol puts into a trace: the process's own, unless an
// end of the link keeps its own (the simulated unit in the tool's tests).
// Every function does nothing while the trace is off; callers with bytes to
// prepare check TraceOn() first. Unless the trace reveals private settings,
// the PIN and the phone numbers in a settings text are masked before the
// entry is recorded.
namespace k57::frametrace {

inline bool TraceOn(const Trace& to = Trace::Global()) {
    return to.On();
}

// "IdInfoMessage", or "unknown" for a code outside the protocol.
const char* MessageName(int code);
// "ReplyOk (1)", "NoReply (-2)", ...
std::string ResultName(int result);
// "IdInfoMessage (11)" from the frame's type word; empty for fewer than two bytes.
std::string FrameLabel(const uint8_t* bytes, size_t n);

// A whole frame sent, or received (with the exchange's result when it
// settles one, 0 otherwise, and a remark such as "expected ...").
void Sent(orvan::tms::messages::AbstractMessage& message, Trace& to = Trace::Global());
void SentFrame(const uint8_t* frame, size_t n, const std::string& remark = {},
               Trace& to = Trace::Global());
void Received(const uint8_t* frame, size_t n, int result = 0, const std::string& remark = {},
              Trace& to = Trace::Global());
// The start of a frame that never completed; it keeps the frame's code.
void Partial(TraceEntry::Direction direction, const uint8_t* bytes, size_t n,
             const std::string& remark, Trace& to = Trace::Global());
// Bytes that are no frame: `what` says which ("noise", "text").
void Bytes(TraceEntry::Direction direction, const std::string& what, const uint8_t* bytes,
           size_t n, Trace& to = Trace::Global());
// An event without bytes: a time-out, a port that would not open.
void Note(const std::string& what, int result = 0, Trace& to = Trace::Global());

// Masks the private values wherever a settings text may be in the entry: a
// settings frame's text (request or reply, whole or partial), and bytes
// that are no known frame (what was left on the line may be the rest of
// one). The bytes keep their number and places.
void MaskPrivate(TraceEntry& entry);

}  // namespace k57::frametrace
