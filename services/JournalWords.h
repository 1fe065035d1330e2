#pragma once

#include <QString>
#include <string>

#include "JournalEntry.h"

namespace k57 {

// A journal entry as a person reads it: in the interface's language and the
// PC's local time. The journal keeps language-neutral codes, English details
// and UTC; these turn them into words when shown, never when stored, so
// --json, the CSV and other PCs' entries keep reading alike.
QString OperationWords(JournalOperation operation);
QString ResultWords(JournalResult result);
QString FrontEndWords(JournalFrontEnd frontEnd);

// A detail the services recorded, in the interface's language: the details
// are made from a few fixed patterns joined by "; ", and each part is told
// on its own. A part of no known pattern stays as recorded.
QString DetailWords(const std::string& detail);

// "2024-05-01T14:30:00.123+05:00": the journal's time in the PC's local
// time, with its offset from UTC ("Z" on a PC that keeps UTC itself).
QString LocalTimeText(long long timeMs);

}  // namespace k57
