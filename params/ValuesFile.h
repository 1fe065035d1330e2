#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ParameterList.h"
#include "SettingsProblem.h"

namespace k57 {

// What is wrong with a values file, or with one of its cells.
struct ValuesProblem {
    enum class Kind {
        Unreadable,      // the file cannot be read: `detail` says why
        TooLarge,        // over ValuesFile::kMaxSize bytes
        TooManyRows,     // over ValuesFile::kMaxUnits rows after the header
        UnclosedQuote,   // a quoted cell the file ends in
        TextAfterQuote,  // a quoted cell followed by more than a comma or line end
        NoUnits,         // nothing after the header
        SerialNotFirst,  // the header's first cell is not "serial"
        UnknownKey,      // a header cell that is no catalogue key
        KeyTwice,        // a key the header names in column `earlier` already
        CellCount,       // a row of `count` cells where the header has `earlier`
        NotASerial,      // not a decimal serial number the unit can have
        SerialTwice,     // a serial given by row `earlier` already
        NotInCodePage,   // a UTF-8 cell with characters Windows-1251 lacks
        Value,           // a value the catalogue's rule for its key refuses
        // Found in a unit's whole settings text, the template's and its row's:
        TextTooLong,  // `count` bytes, more than the unit takes
        SetsNothing,  // no line: the unit's PIN and numbers would be reset
    };
    Kind kind = Kind::Unreadable;
    int row = 0;        // from 1, the header being row 1; 0 for the whole file
    int column = 0;     // from 1; 0 for the whole row
    std::string key;    // the column's key, Windows-1251
    std::string value;  // the cell, Windows-1251
    int earlier = 0;
    int count = 0;
    std::optional<SettingsProblem> rule;  // Value: which rule refused it
    std::string detail;                   // Unreadable: the system's reason
};

// One unit's row: its cells in the header's columns, the serial's first.
struct UnitValues {
    int row = 0;
    uint32_t serial = 0;
    std::vector<std::string> cells;  // Windows-1251; empty: the template's value
};

// A values file: the settings of their own that units get over a template,
// a row per unit, found by its serial number. Comma-separated (RFC 4180),
// UTF-8 or Windows-1251 as settings files are; a header "serial,KEY,KEY…"
// whose keys are the catalogue's.
class ValuesFile {
  public:
    // A production run is hundreds of units, a row some 100 bytes.
    static constexpr long long kMaxSize = 4LL << 20;
    static constexpr int kMaxUnits = 10000;

    std::vector<std::string> columns;  // the header's cells, Windows-1251
    std::vector<UnitValues> units;     // rows whose cells match the header

    bool ok() const { return problems_.empty(); }
    const std::vector<ValuesProblem>& problems() const { return problems_; }
    void Add(ValuesProblem problem);
    // By row, then column; problems at the same place keep their order.
    void SortProblems();
    // Looked up by place: a file may hold a problem in every cell.
    bool HasProblemAt(int row, int column) const;
    bool HasProblemInRow(int row) const;

  private:
    std::vector<ValuesProblem> problems_;
    std::set<std::pair<int, int>> places_;
};

// The file's bytes read and their structure checked against `catalogue`:
// the header's keys, every row's cell count and serial number, the cells'
// characters. Every problem is listed, not only the first; the values
// themselves are for the settings checks to judge.
ValuesFile ReadValues(std::string_view bytes, const ParameterList& catalogue);
ValuesFile ReadValuesFile(const std::string& path, const ParameterList& catalogue);

// A serial number as the unit holds it: decimal digits, 0 to 4294967295.
std::optional<uint32_t> ParseSerial(std::string_view text);

}  // namespace k57
