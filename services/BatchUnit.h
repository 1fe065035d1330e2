#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

class DeviceInterface;
class ParameterList;

namespace k57 {

namespace images {
struct Firmware;
}

class BatchLedger;
class BatchPlan;
class ServiceRecord;
struct UnitIdentity;

// Where a unit of a batch stands.
enum class BatchStep {
    Waiting,           // no unit on the port
    Identifying,       // a unit answered: who is it
    UpdatingFirmware,  // its older firmware replaced (with percent)
    BackingUp,         // its settings read and kept
    Writing,           // the template with its row written
    ReadingBack,       // and read back to be compared (100: read back)
    Finished,          // its result is known
    WaitingForRemoval  // done; the port waits for it to be taken away
};

// What became of one unit of a batch.
struct BatchUnitResult {
    enum class Result { Ok, Failed, Skipped };
    Result result = Result::Skipped;
    bool verified = false;  // the read-back holds what was written
    std::string port;       // shown name (COM5)
    std::optional<uint32_t> serial;
    std::string unitType;        // Windows-1251, as the unit sent it
    std::string firmwareBefore;  // Windows-1251 version texts
    std::string firmwareAfter;
    int row = 0;          // the values file's row given; 0: the template alone
    std::string written;  // the settings text written (Windows-1251), empty if none
    std::string reason;   // why it failed or was skipped (UTF-8, the interface's language)
    std::string advice;   // what to do about it (UTF-8), may be empty
    long long entry = 0;  // the write's journal entry, 0: none
    std::chrono::system_clock::time_point finished;
};

// "ok", "failed", "skipped": the words of the JSON lines and the summary.
const char* ResultCode(BatchUnitResult::Result result);

// What one batch run shares with each unit's work.
struct BatchUnitJob {
    const BatchPlan& plan;
    const ParameterList& catalogue;
    BatchLedger& ledger;
    ServiceRecord& record;
    std::mutex& journalLock;  // the ports' threads share one journal
    std::string batch;        // the batch's mark in the journal's words
    // The firmware a unit with an older one gets first; null: none.
    const images::Firmware* firmware = nullptr;
    bool templateOnly = false;
    std::function<void(BatchStep, int percent)> progress;
};

// One unit, on the device's thread: matched to its row; its firmware
// updated when asked and older; its settings backed up; the template with
// its row written and read back; each step journaled with the batch's mark.
// A unit with no row, or whose row was used, is not touched.
BatchUnitResult ProgramUnit(const BatchUnitJob& job, DeviceInterface& device,
                            const UnitIdentity& unit);

}  // namespace k57
