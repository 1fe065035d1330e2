#include "ValuesFile.h"

#include <algorithm>
#include <limits>
#include <map>

#include "Cp1251.h"
#include "CsvRecords.h"
#include "FileEncoding.h"
#include "FileRead.h"

namespace k57 {

namespace {

using Kind = ValuesProblem::Kind;

ValuesProblem At(Kind kind, int row, int column, std::string key = {}, std::string value = {}) {
    ValuesProblem problem;
    problem.kind = kind;
    problem.row = row;
    problem.column = column;
    problem.key = std::move(key);
    problem.value = std::move(value);
    return problem;
}

// The cells as Windows-1251: a UTF-8 file's converted, a cell that cannot
// be left as it is and named.
void ToUnitCells(CsvRecord& record, bool utf8, ValuesFile& file) {
    if (!utf8) {
        return;
    }
    for (size_t i = 0; i < record.cells.size(); ++i) {
        if (std::optional<std::string> cell = cp1251::FromUtf8(record.cells[i])) {
            record.cells[i] = std::move(*cell);
        } else {
            file.Add(At(Kind::NotInCodePage, record.row, int(i) + 1,
                        i < file.columns.size() ? file.columns[i] : std::string()));
        }
    }
}

void CheckHeader(const ValuesFile& file, int headerRow, const ParameterList& catalogue,
                 std::vector<ValuesProblem>& problems) {
    std::map<std::string, int> seen;
    for (size_t i = 0; i < file.columns.size(); ++i) {
        const std::string& key = file.columns[i];
        int column = int(i) + 1;
        if (file.HasProblemAt(headerRow, column)) {
            continue;
        }
        if (i == 0) {
            if (key != "serial") {
                problems.push_back(At(Kind::SerialNotFirst, headerRow, 1, key));
            }
            continue;
        }
        if (catalogue.IndexOf(key) < 0) {
            problems.push_back(At(Kind::UnknownKey, headerRow, column, key));
            continue;
        }
        auto [earlier, first] = seen.emplace(key, column);
        if (!first) {
            ValuesProblem twice = At(Kind::KeyTwice, headerRow, column, key);
            twice.earlier = earlier->second;
            problems.push_back(twice);
        }
    }
}

void CheckRows(ValuesFile& file, std::vector<CsvRecord>& rows,
               std::vector<ValuesProblem>& problems) {
    bool serials = !file.columns.empty() && file.columns[0] == "serial";
    std::map<uint32_t, int> seen;
    for (CsvRecord& row : rows) {
        if (row.cells.size() != file.columns.size()) {
            ValuesProblem count = At(Kind::CellCount, row.row, 0);
            count.count = int(row.cells.size());
            count.earlier = int(file.columns.size());
            problems.push_back(count);
            continue;
        }
        UnitValues unit;
        unit.row = row.row;
        if (serials && !file.HasProblemAt(row.row, 1)) {
            std::optional<uint32_t> serial = ParseSerial(row.cells[0]);
            if (!serial) {
                problems.push_back(At(Kind::NotASerial, row.row, 1, "serial", row.cells[0]));
            } else if (auto [earlier, first] = seen.emplace(*serial, row.row); !first) {
                ValuesProblem twice = At(Kind::SerialTwice, row.row, 1, "serial", row.cells[0]);
                twice.earlier = earlier->second;
                problems.push_back(twice);
            } else {
                unit.serial = *serial;
            }
        }
        unit.cells = std::move(row.cells);
        file.units.push_back(std::move(unit));
    }
}

ValuesProblem Whole(Kind kind, int row = 0, int column = 0) {
    return At(kind, row, column);
}

}  // namespace

void ValuesFile::Add(ValuesProblem problem) {
    places_.emplace(problem.row, problem.column);
    problems_.push_back(std::move(problem));
}

void ValuesFile::SortProblems() {
    std::stable_sort(problems_.begin(), problems_.end(),
                     [](const ValuesProblem& a, const ValuesProblem& b) {
                         return a.row != b.row ? a.row < b.row : a.column < b.column;
                     });
}

bool ValuesFile::HasProblemAt(int row, int column) const {
    return places_.count({row, column}) > 0;
}

bool ValuesFile::HasProblemInRow(int row) const {
    auto next = places_.lower_bound({row, std::numeric_limits<int>::min()});
    return next != places_.end() && next->first == row;
}

std::optional<uint32_t> ParseSerial(std::string_view text) {
    if (text.empty() || text.size() > 10 ||
        text.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    uint64_t value = std::stoull(std::string(text));
    if (value > UINT32_MAX) {
        return std::nullopt;
    }
    return uint32_t(value);
}

ValuesFile ReadValues(std::string_view bytes, const ParameterList& catalogue) {
    ValuesFile file;
    bool utf8 = DetectEncoding(bytes) == FileEncoding::Utf8;
    CsvSplit split = SplitCsv(WithoutByteOrderMark(bytes), ValuesFile::kMaxUnits + 1);
    switch (split.problem) {
        case CsvSplit::Problem::None:
            break;
        case CsvSplit::Problem::TooManyRows:
            file.Add(Whole(Kind::TooManyRows));
            return file;
        case CsvSplit::Problem::UnclosedQuote:
            file.Add(Whole(Kind::UnclosedQuote, split.problemRow, split.problemColumn));
            return file;
        case CsvSplit::Problem::TextAfterQuote:
            file.Add(Whole(Kind::TextAfterQuote, split.problemRow, split.problemColumn));
            return file;
    }
    if (split.records.empty()) {
        file.Add(Whole(Kind::NoUnits));
        return file;
    }
    std::vector<ValuesProblem> problems;
    // The header is the first record; blank lines before it keep their
    // numbers, as an editor shows them.
    CsvRecord header = std::move(split.records.front());
    ToUnitCells(header, utf8, file);
    file.columns = std::move(header.cells);
    CheckHeader(file, header.row, catalogue, problems);
    std::vector<CsvRecord> rows(std::make_move_iterator(split.records.begin() + 1),
                                std::make_move_iterator(split.records.end()));
    if (rows.empty()) {
        problems.push_back(Whole(Kind::NoUnits));
    }
    for (CsvRecord& row : rows) {
        ToUnitCells(row, utf8, file);
    }
    CheckRows(file, rows, problems);
    for (ValuesProblem& problem : problems) {
        file.Add(std::move(problem));
    }
    return file;
}

ValuesFile ReadValuesFile(const std::string& path, const ParameterList& catalogue) {
    std::string bytes, error;
    ReadProblem problem = ReadProblem::None;
    if (!ReadWholeFile(path, ValuesFile::kMaxSize, bytes, problem, error)) {
        ValuesFile file;
        ValuesProblem refused =
            Whole(problem == ReadProblem::TooLarge ? Kind::TooLarge : Kind::Unreadable);
        refused.detail = error;
        file.Add(refused);
        return file;
    }
    return ReadValues(bytes, catalogue);
}

}  // namespace k57
