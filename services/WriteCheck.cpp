#include "WriteCheck.h"

#include "Cp1251.h"
#include "DeviceInterface.h"
#include "SettingsDiff.h"

namespace k57 {

namespace {

// The port did not open, or the text was refused before sending.
bool NothingSent(int writeResult) {
    return writeResult == kPortUnavailable || writeResult == kCannotFrame;
}

}  // namespace

WriteAttempt WriteAndReadBack(DeviceInterface& device, const std::string& text,
                              const std::function<void()>& written) {
    WriteAttempt attempt;
    attempt.written = text;
    attempt.writeResult = device.WriteSettings(text);
    if (NothingSent(attempt.writeResult)) {
        attempt.readResult = attempt.writeResult;
        return attempt;
    }
    if (written) {
        written();
    }
    std::string read;
    attempt.readResult = device.ReadSettings(read);
    if (attempt.readResult == kReplyOk) {
        attempt.readBack = std::move(read);
    }
    return attempt;
}

WriteCheck Judge(const ParameterList& catalogue, const WriteAttempt& attempt) {
    WriteCheck check;
    check.writeResult = attempt.writeResult;
    check.readResult = attempt.readResult;
    if (NothingSent(attempt.writeResult)) {
        check.state = WriteCheck::State::NotSent;
    } else if (!attempt.readBack) {
        check.state = WriteCheck::State::Unknown;
    } else {
        for (const SettingDifference& d :
             DiffSettings(catalogue, attempt.written, *attempt.readBack)) {
            check.differing.push_back(d.key);
        }
        check.state =
            check.differing.empty() ? WriteCheck::State::Confirmed : WriteCheck::State::Differs;
    }
    return check;
}

std::string DifferingKeys(const WriteCheck& check) {
    std::string keys;
    for (const std::string& key : check.differing) {
        keys += (keys.empty() ? "" : ", ") + cp1251::ToUtf8(key);
    }
    return keys;
}

std::string JournalDetail(const WriteCheck& check) {
    switch (check.state) {
        case WriteCheck::State::Confirmed:
            return "written and confirmed";
        case WriteCheck::State::Differs:
            return "not confirmed: the unit holds other values for " + DifferingKeys(check);
        case WriteCheck::State::Unknown:
            return std::string("not confirmed: reading the settings back failed (") +
                   JournalText(JournalResultFor(check.readResult)) +
                   "); read the unit's settings to learn what it holds";
        case WriteCheck::State::NotSent:
            break;
    }
    return "nothing reached the unit";
}

JournalResult JournalResultOf(const WriteCheck& check) {
    switch (check.state) {
        case WriteCheck::State::Confirmed:
            return JournalResult::Ok;
        case WriteCheck::State::Differs:
            return JournalResult::Refused;
        case WriteCheck::State::Unknown:
            if (check.writeResult == kReplyOk) {
                return JournalResultFor(check.readResult);
            }
            break;
        case WriteCheck::State::NotSent:
            break;
    }
    return JournalResultFor(check.writeResult);
}

}  // namespace k57
