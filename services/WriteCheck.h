#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "JournalEntry.h"

class DeviceInterface;
class ParameterList;

namespace k57 {

// A settings write and the settings read back after it, as they went.
struct WriteAttempt {
    std::string written;
    int writeResult = 0;
    int readResult = 0;
    std::optional<std::string> readBack;
};

// On the device's thread: `text` written, then the settings read back
// unless nothing can have reached the unit. Read back even when the write
// was not acknowledged: a unit may take a write whose reply is lost.
// `written`, when given, is told between the two.
WriteAttempt WriteAndReadBack(DeviceInterface& device, const std::string& text,
                              const std::function<void()>& written = nullptr);

// What a settings write came to, told by the settings read back: a unit may
// take a write and not acknowledge it, or acknowledge it and keep other
// values.
struct WriteCheck {
    enum class State {
        NotSent,    // nothing reached the unit: no port, or a text too long
        Confirmed,  // the unit holds what was written
        Differs,    // the unit holds other values for `differing`
        Unknown,    // the settings could not be read back
    };
    State state = State::NotSent;
    int writeResult = 0;
    int readResult = 0;
    std::vector<std::string> differing;  // keys (Windows-1251), in catalogue order

    bool confirmed() const { return state == State::Confirmed; }
};

// Judged value by value through the catalogue, as the unit reads a text:
// the unit may order its lines its own way.
WriteCheck Judge(const ParameterList& catalogue, const WriteAttempt& attempt);

// The differing keys, "KickSens, MicLevel" (UTF-8).
std::string DifferingKeys(const WriteCheck& check);

// The journal's words for it, and its result: only a confirmed write is ok.
std::string JournalDetail(const WriteCheck& check);
JournalResult JournalResultOf(const WriteCheck& check);

}  // namespace k57
