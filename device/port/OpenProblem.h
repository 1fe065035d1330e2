#pragma once

namespace k57 {

// Why a port did not open, beside the system's own words (which stay in
// English for k57ctl): the window words it in the user's language.
struct OpenProblem {
    enum class Kind {
        None,
        NoSuchPort,    // the name maps to no device
        InUse,         // another program (or window) holds the port
        System,        // the system refused; `systemCode` says why
        LineSettings,  // opened, but the unit's line settings do not apply
    };
    Kind kind = Kind::None;
    int systemCode = 0;  // errno, or GetLastError() on Windows, for Kind::System
};

}  // namespace k57
