#pragma once

#include <string>

namespace k57 {

// Where the workshop's journal server is: K57_JOURNAL_SERVER (a libpq
// connection string or URI), else the one stored in the tool's settings;
// empty for none: the journal is this PC's alone.
std::string ConfiguredServer();
// Whether the environment names the server (then a stored one is unused).
bool ServerFromEnvironment();
// Stores the server for every later run (empty: none). False when the
// settings could not be written.
bool StoreServer(const std::string& conninfo);

}  // namespace k57
