#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "Journal.h"
#include "JournalEntry.h"

class DeviceInterface;

namespace k57 {

// Who the unit on a port is, as far as it is known.
struct UnitIdentity {
    std::optional<uint32_t> serial;
    std::string unitType;  // Windows-1251, as the unit sent it
    std::string firmware;
};

// The journal's side of every operation on a unit, for the window and
// k57ctl alike: who the unit is, and one entry per operation with the front
// end, the port and the result. The journal never stops the job: what
// cannot be recorded is left out, and its problem is handed over once by
// TakeProblem.
//
// An entry names the unit only when it said who it is in the same
// operation: after Identify or LearnSerial, until an entry other than a
// backup ends the operation (an operation that went on succeeding keeps
// it). A unit that did not answer is never taken for the one that answered
// on the port before: another may have been plugged in.
//
// Every ServiceRecord of a process shares one Journal per file: a second
// connection of its own would gain nothing, and the window, its history
// and its support report must see the same entries.
//
// The identity calls may run on the device's thread (the window's worker)
// while the owner's thread records; the journal itself is used on the
// owner's thread only.
class ServiceRecord {
  public:
    // `journalPath` empty: Journal::DefaultPath() at the first entry.
    explicit ServiceRecord(JournalFrontEnd frontEnd, std::string journalPath = {});
    ~ServiceRecord();
    ServiceRecord(const ServiceRecord&) = delete;
    ServiceRecord& operator=(const ServiceRecord&) = delete;

    // --- the device's thread ------------------------------------------------
    // The identity of the unit on the device's port: its serial number
    // asked for now, and its version when not known for that serial (one or
    // two short requests). `refresh` asks for the version again too. A unit
    // that does not answer is unknown.
    UnitIdentity Identify(DeviceInterface& device, bool refresh = false);
    // What an operation learnt by itself: a serial number, a version reply.
    void LearnSerial(const std::string& port, uint32_t serial);
    void LearnVersion(const std::string& port, const std::string& versionText);
    // The unit on the port may be another now (new firmware, new serial).
    void Forget(const std::string& port);
    UnitIdentity Known(const std::string& port) const;

    // --- the owner's thread ------------------------------------------------
    // One entry for the unit on `port` (a device port name; shown as COMn).
    // Its id, or 0 when the journal did not take it.
    long long Record(JournalOperation operation, const std::string& port, JournalResult result,
                     const std::string& detail = {},
                     const std::optional<std::string>& before = std::nullopt,
                     const std::optional<std::string>& after = std::nullopt);
    // Told of each entry the journal took, on the owner's thread: the
    // window shares them with the workshop.
    void SetRecorded(std::function<void(JournalOperation, JournalResult)> recorded) {
        recorded_ = std::move(recorded);
    }
    // The journal's problem not handed over yet (plain words, UTF-8), then
    // empty.
    std::string TakeProblem();
    // The journal, opened at the first use.
    Journal& journal();
    // The journal when there is one: opened already, or its file exists.
    // Null otherwise; a report about the journal must not make one.
    Journal* ExistingJournal();

  private:
    std::string JournalPath() const;

    JournalFrontEnd frontEnd_;
    std::string path_;
    std::shared_ptr<Journal> journal_;
    std::function<void(JournalOperation, JournalResult)> recorded_;
    mutable std::mutex mutex_;
    std::map<std::string, UnitIdentity> known_;  // by shown port name
    // Ports whose unit said who it is in the operation under way, and those
    // whose identity still holds while the operation goes on succeeding.
    std::set<std::string> fresh_;
    std::set<std::string> current_;
};

}  // namespace k57
