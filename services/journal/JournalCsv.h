#pragma once

#include <string>

#include "JournalEntry.h"

namespace k57 {

// The journal as CSV for a spreadsheet: UTF-8, fields quoted where they
// must be, rows ended by CR LF. Settings texts are masked unless `reveal`.
std::string JournalCsvHeader();
std::string JournalCsvRow(const JournalEntry& entry, bool reveal);

}  // namespace k57
