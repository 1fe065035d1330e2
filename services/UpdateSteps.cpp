#include "UpdateSteps.h"

namespace k57 {

void UpdateSteps::Start() {
    source_->Release();
    stage_ = checksVersion_ ? Stage::CheckVersion : Stage::Begin;
    outcome_ = UpdateOutcome::Running;
    progress_ = UpdateProgress{};
    offset_ = 0;
    failedFragment_ = 0;
    lastResult_ = kReplyOk;
}

UpdateSteps::Stage UpdateSteps::Step(DeviceInterface& device) {
    switch (stage_) {
        case Stage::CheckVersion:
            return stage_ = CheckVersion(device);
        case Stage::Begin:
            lastResult_ = BeginRequest(device);
            if (lastResult_ != kReplyOk) {
                return End(UpdateOutcome::StartFailed);
            }
            // The source is opened only once the unit has taken the start.
            source_->Rewind();
            progress_.fragments = source_->Steps();
            progress_.bytes = source_->Bytes();
            sendingSince_ = std::chrono::steady_clock::now();
            return stage_ = Stage::Send;
        case Stage::Send:
            return SendNext(device);
        case Stage::Idle:
        case Stage::Confirm:
            break;
    }
    return stage_;
}

UpdateSteps::Stage UpdateSteps::CheckVersion(DeviceInterface&) {
    return Stage::Begin;
}

void UpdateSteps::Confirm() {
    if (stage_ == Stage::Confirm) {
        stage_ = Stage::Begin;
    }
}

void UpdateSteps::Stop(UpdateOutcome why) {
    if (active()) {
        End(why);
    } else if (outcome_ != UpdateOutcome::Done && outcome_ != UpdateOutcome::Running) {
        outcome_ = why;  // the last exchange failed because its wait was given up for this
    }
}

UpdateSteps::Stage UpdateSteps::End(UpdateOutcome outcome) {
    outcome_ = outcome;
    source_->Release();
    return stage_ = Stage::Idle;
}

// Once the update has begun, the port answered a moment ago: one that
// cannot be opened now went away with its unit between two requests (the
// session closes it after each), a lost line as much as a hang-up during a
// reply's wait.
static int Midway(int result) {
    return result == kPortUnavailable ? kLineLost : result;
}

// A fragment, or the commit in a step of its own once the source is spent.
UpdateSteps::Stage UpdateSteps::SendNext(DeviceInterface& device) {
    uint8_t block[kFragmentBytes];
    int n = source_->Read(block, kFragmentBytes);
    if (n <= 0) {
        uint32_t checksum = 0, size = 0;
        source_->CommitFields(checksum, size);
        source_->Release();
        lastResult_ = Midway(device.CommitUpdate(checksum, size));
        return End(lastResult_ == kReplyOk ? UpdateOutcome::Done : UpdateOutcome::CommitRefused);
    }
    lastResult_ = Midway(device.SendDataFragment(block, offset_, uint16_t(n)));
    if (lastResult_ != kReplyOk) {
        failedFragment_ = progress_.fragmentsSent + 1;
        return End(UpdateOutcome::SendFailed);
    }
    offset_ += uint32_t(n);
    progress_.fragmentsSent += 1;
    progress_.bytesSent += n;
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - sendingSince_).count();
    progress_.seconds = seconds;
    progress_.bytesPerSecond = seconds > 0 ? double(progress_.bytesSent) / seconds : 0;
    return stage_;
}

}  // namespace k57
