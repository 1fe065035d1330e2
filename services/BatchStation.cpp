#include "BatchStation.h"

#include "BatchPlan.h"
#include "DeviceInterface.h"
#include "PortMapping.h"
#include "ServiceRecord.h"
#include "SessionFactory.h"

namespace k57 {

// A port's thread and its session.
struct BatchStation::Port {
    std::string name;   // the device's
    std::string shown;  // COM5
    std::unique_ptr<DeviceInterface> device;
    bool waiting = false;  // between units: Stop may give up its request
    std::thread thread;
};

BatchStation::BatchStation(const BatchPlan& plan, const ParameterList& catalogue,
                           BatchOptions options, std::string journalPath)
    : plan_(plan),
      catalogue_(catalogue),
      options_(std::move(options)),
      journalPath_(std::move(journalPath)),
      makeDevice_(MakeUnitSession),
      ledger_(plan.Serials()),
      mark_(plan.Mark()) {}

BatchStation::~BatchStation() {
    Stop();
    for (auto& port : ports_) {
        if (port->thread.joinable()) {
            port->thread.join();
        }
    }
}

bool BatchStation::Start(std::string& error) {
    if (options_.updateFirmware) {
        try {
            firmware_ = images::LoadFirmware();
        } catch (const std::exception& e) {
            error = e.what();
            return false;
        }
    }
    record_ = std::make_unique<ServiceRecord>(options_.frontEnd, journalPath_);
    LearnUsedRows();
    for (const std::string& name : options_.ports) {
        auto port = std::make_unique<Port>();
        port->device = makeDevice_();
        port->device->SetPortName(name.c_str());
        port->name = port->device->PortName();
        port->shown = ports::ShownName(port->name);
        ports_.push_back(std::move(port));
    }
    active_ = int(ports_.size());
    for (auto& port : ports_) {
        Port* p = port.get();
        p->thread = std::thread([this, p] { Run(*p); });
    }
    return true;
}

// A unit whose write in this batch the journal holds as confirmed, from
// this PC or from the workshop's server, has spent its row.
void BatchStation::LearnUsedRows() {
    std::string prefix = "batch " + mark_ + ":";
    std::lock_guard<std::mutex> lock(journalLock_);
    for (uint32_t serial : plan_.Serials()) {
        for (const JournalEntry& entry : record_->journal().Timeline(serial)) {
            if (entry.operation == JournalOperation::WriteSettings &&
                entry.result == JournalResult::Ok &&
                entry.detail.compare(0, prefix.size(), prefix) == 0) {
                ledger_.MarkUsed(serial);
                break;
            }
        }
    }
    journalProblem_ = record_->TakeProblem();
}

void BatchStation::Stop() {
    std::lock_guard<std::mutex> lock(mutex_);
    Stopping();
}

void BatchStation::Stopping() {
    stopping_ = true;
    for (auto& port : ports_) {
        if (port->waiting) {
            port->device->SetAbandoned(true);
        }
    }
    wake_.notify_all();
}

bool BatchStation::Wait(std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> lock(mutex_);
    bool ended = ended_.wait_for(lock, limit, [this] { return active_ == 0; });
    return ended;
}

BatchCounts BatchStation::counts() const {
    std::lock_guard<std::mutex> lock(mutex_);
    BatchCounts counts = counts_;
    counts.left = ledger_.left();
    return counts;
}

void BatchStation::WithJournal(const std::function<void()>& call) {
    std::lock_guard<std::mutex> lock(journalLock_);
    call();
}

std::string BatchStation::TakeJournalProblem() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(journalProblem_, {});
}

void BatchStation::Run(Port& port) {
    BatchUnitJob job{plan_, catalogue_, ledger_, *record_, journalLock_, mark_, nullptr, false, {}};
    job.firmware = options_.updateFirmware ? &firmware_ : nullptr;
    job.templateOnly = options_.templateOnly;
    std::optional<uint32_t> serial;
    job.progress = [&](BatchStep step, int percent) {
        Tell({port.shown, step, percent, serial, std::nullopt});
    };
    DeviceInterface& device = *port.device;
    UnitIdentity unit;
    bool next = false;  // a unit answered while the last was awaited away
    while (!stopping_) {
        if (!next) {
            Tell({port.shown, BatchStep::Waiting, -1, std::nullopt, std::nullopt});
            SetWaiting(port, true);
            record_->Forget(port.name);
            unit = record_->Identify(device);
            SetWaiting(port, false);
            if (stopping_) {
                break;  // its request may have been given up: not a unit to write
            }
            if (!unit.serial) {
                if (!Pause()) {
                    break;
                }
                continue;
            }
        }
        serial = unit.serial;
        Tell({port.shown, BatchStep::Identifying, -1, serial, std::nullopt});
        BatchUnitResult result = ProgramUnit(job, device, unit);
        if (!Finished(port, result)) {
            break;
        }
        next = AwaitRemoval(port, *serial, unit);
        serial.reset();
    }
    device.ClosePort();
    std::lock_guard<std::mutex> lock(mutex_);
    if (--active_ == 0) {
        ended_.notify_all();
    }
}

bool BatchStation::Finished(Port& port, const BatchUnitResult& result) {
    BatchEvent event{port.shown, BatchStep::Finished, -1, result.serial, result};
    std::string problem;
    {
        std::lock_guard<std::mutex> lock(journalLock_);
        problem = record_->TakeProblem();
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (!problem.empty()) {
        journalProblem_ = problem;
    }
    switch (result.result) {
        case BatchUnitResult::Result::Ok:
            ++counts_.ok;
            break;
        case BatchUnitResult::Result::Failed:
            ++counts_.failed;
            break;
        case BatchUnitResult::Result::Skipped:
            ++counts_.skipped;
            break;
    }
    if (listener_) {
        listener_(event);
    }
    ++handled_;
    if (options_.count > 0 && handled_ >= options_.count) {
        Stopping();
        return false;
    }
    return true;
}

bool BatchStation::AwaitRemoval(Port& port, uint32_t serial, UnitIdentity& next) {
    Tell({port.shown, BatchStep::WaitingForRemoval, -1, serial, std::nullopt});
    while (Pause()) {
        SetWaiting(port, true);
        UnitIdentity unit = record_->Identify(*port.device);
        SetWaiting(port, false);
        if (!unit.serial) {
            return false;  // gone: the next is awaited
        }
        if (*unit.serial != serial) {
            // Swapped between two asks: the new unit's firmware is asked too.
            record_->Forget(port.name);
            next = record_->Identify(*port.device, true);
            return next.serial.has_value();
        }
    }
    return false;
}

void BatchStation::Tell(const BatchEvent& event) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (listener_) {
        listener_(event);
    }
}

void BatchStation::SetWaiting(Port& port, bool waiting) {
    std::lock_guard<std::mutex> lock(mutex_);
    port.waiting = waiting;
    if (waiting && stopping_) {
        port.device->SetAbandoned(true);
    }
}

bool BatchStation::Pause() {
    std::unique_lock<std::mutex> lock(mutex_);
    return !wake_.wait_for(lock, poll_, [this] { return stopping_.load(); });
}

}  // namespace k57
