#include "SignalSkeleton.h"

#include "SafeSave.h"
#include "SkeletonDbc.h"

namespace k57::SignalSkeleton {

std::vector<ProposedMessage> Propose(const std::vector<LoggedFrame>& frames) {
    SignalProposal proposal;
    for (const LoggedFrame& frame : frames) {
        proposal.Add(frame);
    }
    return proposal.Messages();
}

std::vector<ProposedMessage> Propose(const CanFrameLog& log) {
    SignalProposal proposal;
    log.ForEach([&](const LoggedFrame& frame) { proposal.Add(frame); });
    return proposal.Messages();
}

bool Save(const std::vector<ProposedMessage>& messages, const std::string& path,
          std::string& error) {
    // A database is no secret: readable as any document is.
    return SafeSave(path, SkeletonDbc(messages), error, SaveAccess::Shared);
}

}  // namespace k57::SignalSkeleton
