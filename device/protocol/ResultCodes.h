#pragma once

namespace k57 {

// The results of one request/reply exchange with the unit.
constexpr int kReplyOk = 1;           // the expected reply arrived
constexpr int kPortUnavailable = -1;  // the port cannot be opened
constexpr int kNoReply = -2;          // no complete reply within the reply time-out
constexpr int kBadReply = -3;         // a reply that cannot be decoded, or of another type
constexpr int kCannotFrame = -4;      // the request is too long to be sent; nothing was sent
// The port went away while the request was sent or its reply awaited (the
// unit's USB cable pulled): whether the unit took the request is unknown.
constexpr int kLineLost = -5;

}  // namespace k57
