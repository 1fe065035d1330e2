#pragma once

#include <string>

namespace k57 {

// What setting the journal server came to: the address read, stored for
// every later run, and tried once.
struct ServerTry {
    enum class Outcome {
        Unreadable,   // the address cannot be read; nothing stored
        NotStored,    // the tool's settings could not be written
        Unreachable,  // stored, but the server does not answer now
        Unusable,     // stored; the server answers, its journal cannot be used
        Usable,       // stored, and the server's journal can be used
    };
    Outcome outcome = Outcome::Unreadable;
    std::string shown;   // "host:port/db", never a password
    std::string reason;  // the parser's, libpq's or the server's words
};

// Reads `conninfo` (a libpq connection string or URI), stores it (JournalServer.h)
// and tries it, giving up after JournalSync::kConnectMs. Waits on the network:
// not on a window's thread.
ServerTry SetJournalServer(const std::string& conninfo);

}  // namespace k57
