#pragma once

#include <gtest/gtest.h>

#include <string>

#include "Parse.h"

namespace k57::test {

// A database from `text`, asserting the parser had nothing to say.
inline dbc::Database CleanDatabase(const std::string& text,
                                   dbc::Encoding encoding = dbc::Encoding::Cp1252) {
    dbc::ParseResult result = dbc::Parse(text, encoding, "test.dbc");
    for (const dbc::Diagnostic& diagnostic : result.diagnostics) {
        ADD_FAILURE() << diagnostic.ToString();
    }
    return std::move(result.database);
}

}  // namespace k57::test
