#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace k57 {

// One record of a comma-separated text: its cells as the file has them,
// quotes taken off.
struct CsvRecord {
    int row = 0;  // from 1, counting every record, blank ones too
    std::vector<std::string> cells;
};

// What keeps a comma-separated text from being read to its end.
struct CsvSplit {
    enum class Problem { None, UnclosedQuote, TextAfterQuote, TooManyRows };

    std::vector<CsvRecord> records;  // blank records left out
    Problem problem = Problem::None;
    int problemRow = 0;     // the record at fault, from 1
    int problemColumn = 0;  // its cell, from 1
};

// Records as spreadsheets save them (RFC 4180): cells separated by commas,
// records by CR LF or LF; a cell in double quotes may hold commas, line
// breaks and quotes written twice. Reading stops at the first quoting fault,
// whose place is told, or after `maxRecords` records: past that the text is
// refused as a whole. The separators are ASCII, so the bytes may be
// Windows-1251 or UTF-8 alike.
CsvSplit SplitCsv(std::string_view text, int maxRecords);

// One cell as it is written: in double quotes, its quotes written twice,
// when it holds a comma, a quote or a line break. A text that a spreadsheet
// would take for a formula (one beginning with "=", "+", "-", "@", a tab or
// CR) is led by an apostrophe, so that opening the file never runs anything.
std::string CsvField(const std::string& text);

}  // namespace k57
