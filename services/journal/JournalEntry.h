#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace k57 {

// What was done to a unit. Stored as the text of JournalText(), which never
// changes once released: old journals must keep reading.
enum class JournalOperation {
    Identify,
    ReadSettings,
    WriteSettings,
    FirmwareUpdate,
    SoundUpdate,
    SetId,
    Restart,
    Restore,
    Backup,  // the unit's settings kept before a change; the text is in `before`
};

// How it ended; stored as text like the operation.
enum class JournalResult {
    Ok,
    NoReply,
    PortUnavailable,
    BadReply,
    Refused,  // the unit did not acknowledge
    Stopped,  // the user or a signal stopped it
    NotSent,  // the request could not be framed; nothing reached the unit
};

enum class JournalFrontEnd { Window, Ctl };

const char* JournalText(JournalOperation operation);
const char* JournalText(JournalResult result);
const char* JournalText(JournalFrontEnd frontEnd);
// Nothing for a text this version does not know.
std::optional<JournalOperation> JournalOperationFrom(const std::string& text);
std::optional<JournalResult> JournalResultFrom(const std::string& text);
// The result for a device request's result code (kReplyOk and the others).
JournalResult JournalResultFor(int requestResult);

// One operation on one unit. Texts that came from the unit (type, firmware,
// settings) are its Windows-1251 bytes exactly; the others are UTF-8.
struct JournalEntry {
    long long id = 0;                // given by the journal
    long long timeMs = 0;            // UTC, milliseconds since 1970; 0: the journal stamps it
    std::optional<uint32_t> serial;  // nothing when the unit never answered
    std::string unitType;
    std::string firmware;
    JournalOperation operation = JournalOperation::Identify;
    std::string port;
    JournalResult result = JournalResult::Ok;
    std::string detail;
    std::string toolVersion;  // empty: the journal fills in this build's
    JournalFrontEnd frontEnd = JournalFrontEnd::Window;
    // Settings texts around a settings operation; nothing when there was
    // none (an empty text is a text: every value at its default).
    std::optional<std::string> before;
    std::optional<std::string> after;
    // Who made it, where: given when the entry is made (empty: the journal
    // fills in a new UUID, this PC and this user) and kept as made when it
    // travels through a workshop's server. UTF-8.
    std::string uuid;
    std::string pc;
    std::string user;
    bool pulled = false;  // made at another PC, come down from the server
};

// One unit as the journal knows it: from its latest entry, and how many.
struct UnitSummary {
    uint32_t serial = 0;
    std::string unitType;
    std::string firmware;
    long long lastSeenMs = 0;
    long long operations = 0;
};

// "2024-05-01T09:30:00.123Z".
std::string JournalTimeText(long long timeMs);

}  // namespace k57
