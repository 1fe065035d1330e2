#pragma once

#include <string>
#include <vector>

#include "SignalProposal.h"

namespace k57 {

// The proposed signals as a DBC file to start a database from: one
// message "ID_3B4" per identifier with the length seen, its signals
// "ID_3B4_S1", "ID_3B4_S2"... in frame order, raw (factor 1, offset 0),
// their range what their length holds (signed or not), each with its kind
// as the comment.
std::string SkeletonDbc(const std::vector<ProposedMessage>& messages);

// "ID_3B4", "ID_18FEF100": the name a skeleton gives an identifier.
std::string SkeletonName(uint32_t id, bool extended);

}  // namespace k57
