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
#include "EmbeddedImages.h"
#include "JournalEntry.h"

class DeviceInterface;

namespace k57 {

class BatchPlan;
class ServiceRecord;

// How a batch runs: on which ports, and what it may do to a unit.
struct BatchOptions {
    std::vector<std::string> ports;  // device port names, one unit each at a time
    bool updateFirmware = false;     // update a unit whose firmware is older first
    bool templateOnly = false;       // a unit with no row gets the template alone
    int count = 0;                   // stop after this many units; 0: until stopped
    JournalFrontEnd frontEnd = JournalFrontEnd::Ctl;
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

    // The rows earlier runs of the batch used are learnt from the journal,
    // then every port is watched. False, with the reason (UTF-8), when the
    // firmware to update to cannot be loaded.
    bool Start(std::string& error);
    // No port waits for another unit; a unit being written is finished
    // first. Returns at once; Wait for the ports to end.
    void Stop();
    // Until every port has ended (stopped, or the count done), or `limit`
    // passed; whether they have.
    bool Wait(std::chrono::milliseconds limit = std::chrono::hours(24 * 365));
    bool running() const { return active_ > 0; }
    // The batch's mark in the journal.
    const std::string& mark() const { return mark_; }

    BatchCounts counts() const;
    const BatchLedger& ledger() const { return ledger_; }
    // `call` run while no port uses the journal: the journal is shared by
    // the ports' threads and the caller's (a push to the workshop's server).
    void WithJournal(const std::function<void()>& call);
    // The journal's problem not told yet (UTF-8), then empty.
    std::string TakeJournalProblem();

  private:
    struct Port;
    void Run(Port& port);
    // The unit's result told and counted; false when the count is reached.
    bool Finished(Port& port, const BatchUnitResult& result);
    // Until the unit `serial` is taken away, or another answers instead
    // (left in `next`); false when stopped.
    bool AwaitRemoval(Port& port, uint32_t serial, UnitIdentity& next);
    void Tell(const BatchEvent& event);
    // Under the lock: no port waits for another unit, and the requests of
    // those waiting now are given up.
    void Stopping();
    // A wait of the port: the session's request given up on Stop.
    void SetWaiting(Port& port, bool waiting);
    // Sleeps for the poll interval or until stopped; false when stopped.
    bool Pause();
    void LearnUsedRows();

    const BatchPlan& plan_;
    const ParameterList& catalogue_;
    BatchOptions options_;
    std::string journalPath_;
    DeviceMaker makeDevice_;
    Listener listener_;
    std::chrono::milliseconds poll_{500};
    BatchLedger ledger_;
    std::string mark_;
    images::Firmware firmware_;
    std::unique_ptr<ServiceRecord> record_;
    std::vector<std::unique_ptr<Port>> ports_;
    mutable std::mutex mutex_;  // the counts, the listener, the waits
    std::mutex journalLock_;    // one port at a time in the journal
    std::condition_variable wake_;
    std::condition_variable ended_;
    std::atomic<bool> stopping_{false};
    std::atomic<int> active_{0};
    BatchCounts counts_;  // `left` comes from the ledger when asked
    int handled_ = 0;
    std::string journalProblem_;
};

}  // namespace k57
