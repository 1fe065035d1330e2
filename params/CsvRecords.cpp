#include "CsvRecords.h"

namespace k57 {

namespace {

bool Blank(const CsvRecord& record) {
    return record.cells.size() == 1 && record.cells[0].empty();
}

}  // namespace

CsvSplit SplitCsv(std::string_view text, int maxRecords) {
    CsvSplit split;
    CsvRecord record;
    std::string cell;
    size_t i = 0;
    // A record is ended by its line break, or by the end of a text whose
    // last line has none; an empty text has no record at all.
    auto endRecord = [&]() {
        record.cells.push_back(std::move(cell));
        cell.clear();
        if (!Blank(record)) {
            split.records.push_back(std::move(record));
        }
        record = CsvRecord{};
    };
    int row = 1;
    auto fail = [&](CsvSplit::Problem problem) {
        split.problem = problem;
        split.problemRow = row;
        split.problemColumn = int(record.cells.size()) + 1;
        return split;
    };
    while (i < text.size()) {
        if (row > maxRecords) {
            return fail(CsvSplit::Problem::TooManyRows);
        }
        record.row = row;
        char c = text[i];
        if (c == '"' && cell.empty()) {
            // A quoted cell: up to the quote not doubled.
            size_t j = i + 1;
            for (;;) {
                if (j >= text.size()) {
                    return fail(CsvSplit::Problem::UnclosedQuote);
                }
                if (text[j] == '"') {
                    if (j + 1 < text.size() && text[j + 1] == '"') {
                        cell += '"';
                        j += 2;
                        continue;
                    }
                    break;
                }
                cell += text[j++];
            }
            i = j + 1;
            if (i < text.size() && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
                return fail(CsvSplit::Problem::TextAfterQuote);
            }
            continue;
        }
        if (c == ',') {
            record.cells.push_back(std::move(cell));
            cell.clear();
            ++i;
        } else if (c == '\r' || c == '\n') {
            i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
            endRecord();
            ++row;
        } else {
            cell += c;
            ++i;
        }
    }
    if (!cell.empty() || !record.cells.empty()) {
        endRecord();
    }
    return split;
}

std::string CsvField(const std::string& text) {
    std::string field = text;
    if (!field.empty() && std::string("=+-@\t\r").find(field[0]) != std::string::npos) {
        field.insert(0, "'");
    }
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        return field;
    }
    std::string quoted = "\"";
    for (char c : field) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

}  // namespace k57
