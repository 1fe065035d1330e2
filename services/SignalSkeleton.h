#pragma once

#include <string>
#include <vector>

#include "CanFrameLog.h"
#include "SignalProposal.h"

namespace k57 {

// The signals a capture suggests with no database, and the skeleton DBC
// file made of them: what `k57ctl can signals` prints and writes and what
// the CAN monitor saves from the frames it holds.
namespace SignalSkeleton {

std::vector<ProposedMessage> Propose(const std::vector<LoggedFrame>& frames);
std::vector<ProposedMessage> Propose(const CanFrameLog& log);

// The skeleton DBC of `messages` saved to `path` (UTF-8): written beside
// it and renamed over it, so a failure leaves an old file whole; false
// with the reason.
bool Save(const std::vector<ProposedMessage>& messages, const std::string& path,
          std::string& error);

}  // namespace SignalSkeleton

}  // namespace k57
