#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "BatchLedger.h"
#include "BatchUnit.h"

class DeviceInterface;

namespace k57 {

class BatchPlan;

// How a batch runs: on which ports, and what it may do to a unit.
struct BatchOptions {
    std::vector<std::string> ports;  // device port names, one unit each at a time
    bool updateFirmware = false;     // update a unit whose firmware is older first
    bool templateOnly = false;       // a unit with no row gets the template alone
    int count = 0;                   // stop after this many units; 0: until stopped
    std::string templateName;        // the files' names, for the journal's words
    std::string valuesName;
};

// Where each port stands, told as it changes.
struct BatchEvent {
    std::string port;  // shown name (COM5)
    BatchStep step = BatchStep::Waiting;
    int percent = -1;  // the step's progress, -1 when it has none
    std::optional<uint32_t> serial;
    // Set once, when the unit's work ended (step Finished).
    std::optional<BatchUnitResult> result;
};

struct BatchCounts {
    int ok = 0;
    int failed = 0;
    int skipped = 0;
    int left = 0;  // rows not used yet
};

// A production station: every port watched on a thread of its own; each
// unit that appears is matched to its row, written and read back
// (BatchUnit), and then the port waits for it to be taken away and for the
// next. Several ports run at once; the rows are shared through one ledger,
// so no row is used twice and a failed unit keeps its own.
class BatchStation {
  public:
    using DeviceMaker = std::function<std::unique_ptr<DeviceInterface>()>;
    using Listener = std::function<void(const BatchEvent&)>;

    // The plan and the catalogue are borrowed and must outlive the station.
    // `journalPath` empty: the journal's default file.
    BatchStation(const BatchPlan& plan, const ParameterList& catalogue, BatchOptions options,
                 std::string journalPath = {});
    ~BatchStation();
    BatchStation(const BatchStation&) = delete;
    BatchStation& operator=(const BatchStation&) = delete;

    // Tests give their own sessions; by default the unit's session.
    void SetDeviceMaker(DeviceMaker maker) { makeDevice_ = std::move(maker); }
    // Called on the ports' threads, one call at a time.
    void SetListener(Listener listener) { listener_ = std::move(listener); }
    // How often a port asks whether a unit came or went.
    void SetPollInterval(std::chrono::milliseconds interval) { poll_ = interval; }

    void Start();
    // No port waits for another unit; a unit being written is finished
    // first. Returns at once; Wait for the ports to end.
    void Stop();
    // Until every port has ended: stopped, or --count units done.
    void Wait();
    bool running() const;

    BatchCounts counts() const;
    const BatchLedger& ledger() const { return ledger_; }
    // The journal's problem not told yet (UTF-8), then empty.
    std::string TakeJournalProblem();

  private:
    void Run(const std::string& port);
    void Tell(const BatchEvent& event);
    // Sleeps for the poll interval or until stopped; false when stopped.
    bool Pause();
    // One more unit handled; false when the count is reached.
    bool Counted(const BatchUnitResult& result);

    const BatchPlan& plan_;
    const ParameterList& catalogue_;
    BatchOptions options_;
    std::string journalPath_;
    DeviceMaker makeDevice_;
    Listener listener_;
    std::chrono::milliseconds poll_{500};
    BatchLedger ledger_;
    std::vector<std::thread> threads_;
    mutable std::mutex mutex_;  // the counts, the listener and the journal
    std::condition_variable wake_;
    std::atomic<bool> stopping_{false};
    std::atomic<int> active_{0};
    BatchCounts counts_;
    int handled_ = 0;
    std::string journalProblem_;
};

}  // namespace k57
