#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "Database.h"
#include "TextEncoding.h"

namespace k57::dbc {

struct Diagnostic {
    std::string file;
    int line = 0;  // 0: the file as a whole
    std::string message;
    bool warning = false;  // read anyway, but probably not what the author meant

    // "file:line: message", "warning: " before a warning's message.
    std::string ToString() const;
};

struct ParseResult {
    // The diagnostics kept; those beyond are only counted.
    static constexpr size_t kMaxDiagnostics = 1000;

    Database database;
    std::vector<Diagnostic> diagnostics;
    int unlistedErrors = 0;
    int unlistedWarnings = 0;
    // Statements read past because the model has no use for them, by
    // keyword ("BA_DEF_", "VAL_TABLE_", "CM_ BU_" ...).
    std::map<std::string, int> skipped;

    int ErrorCount() const;
};

// Reads a DBC file's text. Never throws: what cannot be read is reported
// with its line and left out, and reading goes on with the next statement.
// Numbers are read the same whatever the process's locale.
ParseResult Parse(std::string_view text, Encoding encoding, const std::string& fileName);
// The same from a file; one that cannot be read is an error at line 0.
ParseResult ParseFile(const std::string& path, Encoding encoding);

}  // namespace k57::dbc
