#pragma once

#include <QObject>
#include <QTimer>

#include "DeviceSession.h"
#include "UpdateSteps.h"

namespace k57 {

// Runs one update's steps on the device session's worker thread for a
// window. Each step's result comes back to the GUI thread and submits the
// next one: at once, so that no timer's granularity falls between a reply
// and the next fragment, or after a pause of the window's choosing. A stop
// asked for while a step is on its way abandons that step's wait and takes
// effect when it is back, unless it was the commit the unit has taken.
class UpdateRun : public QObject {
    Q_OBJECT

  public:
    explicit UpdateRun(DeviceSession& device, QObject* parent = nullptr);

    // Starts `update` from its first step; `pauseMs` lies between two steps.
    void Start(UpdateSteps& update, int pauseMs = 0);
    // The update under way, or null.
    UpdateSteps* update() const { return update_; }
    bool running() const { return update_ != nullptr; }
    // No further step is submitted while held (a question is open).
    void Hold();
    void Resume();
    // After Stage::Confirm: goes on to the start.
    void Confirm();
    // Ends the update without its commit; finished follows, at once or when
    // the step on its way is back.
    void Stop(UpdateOutcome why = UpdateOutcome::Stopped);

  signals:
    // One step was run: the stage it began in and the one it led to.
    void stepped(k57::UpdateSteps::Stage before, k57::UpdateSteps::Stage now);
    // The update ended (its outcome and progress say how); running() no
    // longer holds.
    void finished(k57::UpdateSteps* update);

  private:
    void Submit();
    void Stepped(UpdateSteps::Stage before);
    void Finish(UpdateOutcome outcome);

    DeviceSession& device_;
    UpdateSteps* update_ = nullptr;
    QTimer pause_;
    bool inFlight_ = false;
    bool held_ = false;
    bool stopAsked_ = false;
    UpdateOutcome stopWhy_ = UpdateOutcome::Stopped;
};

}  // namespace k57
