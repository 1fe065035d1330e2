#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "DeviceInterface.h"
#include "UpdateOutcome.h"
#include "UpdateSources.h"

namespace k57 {

// An update as a machine of steps, one device exchange each: the version
// check (firmware only), the start, every fragment of up to 1024 bytes at
// its offset, then the commit. A failure ends the update; nothing is
// retried. The caller drives it: a window from its timer, k57ctl in a loop.
// Step may run on another thread, but only one call at a time, and nothing
// else touches the object while it runs.
class UpdateSteps {
  public:
    enum class Stage {
        Idle,          // not started, or ended
        CheckVersion,  // next: read the unit's version
        Confirm,       // the unit's firmware is not older: Confirm or Stop
        Begin,         // next: ask the unit to start the update
        Send,          // next: a fragment, or the commit once all are sent
    };
    virtual ~UpdateSteps() = default;
    UpdateSteps(const UpdateSteps&) = delete;
    UpdateSteps& operator=(const UpdateSteps&) = delete;

    // From the first step again, whatever happened before.
    void Start();
    // Runs the present stage's exchange and returns the stage it leads to.
    // In Confirm and Idle it does nothing.
    Stage Step(DeviceInterface& device);
    // Goes on to the start although the unit's firmware is not older.
    void Confirm();
    // Ends the update where it stands: nothing more is sent, no commit. After
    // an exchange that failed because its wait was given up for the stop,
    // the stop is the outcome; a commit the unit took stays done.
    void Stop(UpdateOutcome why = UpdateOutcome::Stopped);

    Stage stage() const { return stage_; }
    bool active() const { return stage_ != Stage::Idle; }
    UpdateOutcome outcome() const { return outcome_; }
    const UpdateProgress& progress() const { return progress_; }
    // The fragment that failed, counted from 1; 0 when none did.
    int failedFragment() const { return failedFragment_; }
    // The device's result for the last exchange.
    int lastResult() const { return lastResult_; }
    // The firmware version the update sends, as its image says it
    // (Windows-1251); empty for an update of no version (sound).
    virtual std::string targetVersion() const { return {}; }

  protected:
    UpdateSteps(std::unique_ptr<TransferSource> source, bool checksVersion)
        : source_(std::move(source)), checksVersion_(checksVersion) {}
    // The version check: Begin, Confirm, or the end with its outcome.
    virtual Stage CheckVersion(DeviceInterface& device);
    virtual int BeginRequest(DeviceInterface& device) = 0;
    Stage End(UpdateOutcome outcome);
    // Keeps an exchange's result for lastResult.
    int Exchanged(int result) { return lastResult_ = result; }

  private:
    Stage SendNext(DeviceInterface& device);

    std::unique_ptr<TransferSource> source_;
    bool checksVersion_;
    Stage stage_ = Stage::Idle;
    UpdateOutcome outcome_ = UpdateOutcome::Running;
    UpdateProgress progress_;
    uint32_t offset_ = 0;
    int failedFragment_ = 0;
    int lastResult_ = kReplyOk;
    std::chrono::steady_clock::time_point sendingSince_;
};

}  // namespace k57
