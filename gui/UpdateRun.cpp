#include "UpdateRun.h"

namespace k57 {

UpdateRun::UpdateRun(DeviceSession& device, QObject* parent) : QObject(parent), device_(device) {
    pause_.setSingleShot(true);
    connect(&pause_, &QTimer::timeout, this, &UpdateRun::Submit);
}

void UpdateRun::Start(UpdateSteps& update, int pauseMs) {
    if (update_) {
        return;
    }
    update_ = &update;
    pause_.setInterval(pauseMs);
    held_ = stopAsked_ = false;
    update.Start();
    Submit();
}

void UpdateRun::Hold() {
    held_ = true;
    pause_.stop();
}

void UpdateRun::Resume() {
    held_ = false;
    if (update_ && !inFlight_ && update_->stage() != UpdateSteps::Stage::Confirm) {
        Submit();
    }
}

void UpdateRun::Confirm() {
    if (update_ && update_->stage() == UpdateSteps::Stage::Confirm) {
        update_->Confirm();
        Submit();
    }
}

void UpdateRun::Stop(UpdateOutcome why) {
    if (!update_) {
        return;
    }
    pause_.stop();
    if (inFlight_) {
        stopAsked_ = true;
        stopWhy_ = why;
        device_.Abandon();
        return;
    }
    update_->Stop(why);
    Finish(why);
}

// One step on the worker thread. Nothing else touches the update while it
// runs there: the window reads it only between steps.
void UpdateRun::Submit() {
    if (!update_ || inFlight_ || held_) {
        return;
    }
    inFlight_ = true;
    UpdateSteps* update = update_;
    UpdateSteps::Stage before = update->stage();
    device_.Submit(
        this,
        [update](DeviceInterface& unit) {
            update->Step(unit);
            return update->lastResult();
        },
        [this, before](int) {
            inFlight_ = false;
            Stepped(before);
        });
}

void UpdateRun::Stepped(UpdateSteps::Stage before) {
    UpdateSteps& update = *update_;
    if (stopAsked_) {
        stopAsked_ = false;
        if (update.outcome() != UpdateOutcome::Done) {
            update.Stop(stopWhy_);
            Finish(stopWhy_);
            return;
        }
    }
    UpdateSteps::Stage now = update.stage();
    emit stepped(before, now);
    if (!update_) {
        return;  // the window stopped it on the way
    }
    if (now == UpdateSteps::Stage::Idle) {
        Finish(update.outcome());
    } else if (now != UpdateSteps::Stage::Confirm && !held_) {
        if (pause_.interval() > 0 && now == UpdateSteps::Stage::Send) {
            pause_.start();
        } else {
            Submit();
        }
    }
}

void UpdateRun::Finish(UpdateOutcome) {
    UpdateSteps* update = update_;
    update_ = nullptr;
    emit finished(update);
}

}  // namespace k57
