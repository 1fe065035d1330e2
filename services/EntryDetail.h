#pragma once

#include <optional>
#include <string>

#include "JournalEntry.h"

namespace k57 {

// The facts a journal entry's detail carries for whoever reads the journal
// later: which entry a restore wrote back, and which firmware version an
// update went to. Written and read here alone, so that the two agree; each
// is a part of the detail of its own ("; " between parts), and entries
// made before a part was recorded simply lack it.

// "entry N": the restore's source, the first part of its detail (as
// `k57ctl restore` has always recorded it).
std::string RestoreSourceDetail(long long entryId);
// The entry a restore wrote back; nothing for another operation or when
// its detail does not say.
std::optional<long long> RestoredFrom(const JournalEntry& entry);

// "target version V" (UTF-8): the firmware version an update sent.
std::string TargetVersionDetail(const std::string& version);
// The version a firmware update's entry went to: its target part, or else
// the version of the package it names; nothing when neither is there.
std::optional<std::string> TargetVersion(const JournalEntry& entry);

}  // namespace k57
