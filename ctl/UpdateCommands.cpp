// update firmware and update sound: FirmwareUpdate and SoundUpdate stepped
// in a loop, with a progress display and a clean stop on Ctrl+C.

#include <stdexcept>

#include "Commands.h"
#include "Cp1251.h"
#include "ExitCodes.h"
#include "FirmwareUpdate.h"
#include "PortMapping.h"
#include "SoundUpdate.h"
#include "Terminal.h"

namespace k57::ctl {

namespace {

int Interruption(bool sentAny) {
    return Fail(sentAny ? "interrupted: nothing more was sent and nothing committed"
                        : "interrupted: nothing was sent",
                kInterrupted);
}

// The start, every fragment, then the commit. Ctrl+C stops between two
// steps or ends the one being waited for; no commit follows.
int Send(Context& context, UpdateSteps& update, const std::string& what, const char* wait) {
    Say(context, std::string("preparing the unit (up to ") + wait + ")");
    if (update.Step(*context.device) != UpdateSteps::Stage::Send) {
        return Interrupted() ? Interruption(false) : Failed(context, update.lastResult());
    }
    Progress progress(what, update.progress().fragments, context.quiet);
    while (update.stage() == UpdateSteps::Stage::Send) {
        if (Interrupted()) {
            update.Stop();
            break;
        }
        update.Step(*context.device);
        progress.Update(update.progress().fragmentsSent);
    }
    progress.Finish();
    if (Interrupted() && update.outcome() != UpdateOutcome::Done) {
        return Interruption(true);
    }
    switch (update.outcome()) {
        case UpdateOutcome::Done:
            progress.Update(update.progress().fragments);
            Say(context, what + ": done, the unit acknowledged the commit");
            return kDone;
        case UpdateOutcome::CommitRefused:
            return Fail(what + ": the unit did not acknowledge the commit (" +
                            Describe(context.device->LastFailure()) + ")",
                        kRefused);
        default:
            return Failed(context, update.lastResult());
    }
}

}  // namespace

int UpdateFirmware(Context& context, const std::string& imagePath, bool force) {
    images::Firmware firmware;
    try {
        firmware =
            imagePath.empty() ? images::LoadFirmware() : images::LoadFirmware(imagePath.c_str());
    } catch (const std::exception& e) {
        return Fail(std::string("no firmware image: ") + e.what(), kBadInput);
    }
    FirmwareUpdate update(firmware);
    if (!update.CheckImage()) {
        return Fail(imagePath +
                        ": not a firmware image (its information block at offset 256 "
                        "holds no type and version)",
                    kBadInput);
    }
    std::string image = cp1251::ToUtf8(firmware.info.version);
    DeviceInterface& device = *context.device;
    update.Start();
    UpdateSteps::Stage stage = update.Step(device);
    if (update.outcome() == UpdateOutcome::NotConnected) {
        return Failed(context, update.lastResult());
    }
    if (update.outcome() == UpdateOutcome::VersionUnreadable) {
        return Fail(
            ports::ShownName(device.PortName()) + ": the unit's version reply cannot be read",
            kBadReply);
    }
    std::string current = cp1251::ToUtf8(update.unit().version);
    if (stage == UpdateSteps::Stage::Confirm) {
        if (!force) {
            return Fail("the unit has firmware " + current + ", not older than the image's " +
                            image + "; --force updates anyway",
                        kBadInput);
        }
        update.Confirm();
    }
    int exitCode = kDone;
    if (!Agreed(context,
                "Update the firmware of the unit on " + ports::ShownName(device.PortName()) +
                    " from " + current + " to " + image + "? The unit's settings may be reset.",
                exitCode)) {
        return exitCode;
    }
    return Send(context, update, "firmware " + image, "10 s");
}

int UpdateSound(Context& context, const std::string& imagePath) {
    std::string path = imagePath.empty() ? images::kSoundPath : imagePath;
    SoundUpdate update(path);
    uint32_t size = 0;
    std::string problem;
    if (!update.CheckImage(size, problem)) {
        return Fail(problem, kBadInput);
    }
    int exitCode = kDone;
    if (!Agreed(context,
                "Write " + std::to_string(size) + " bytes of sound data to the unit on " +
                    ports::ShownName(context.device->PortName()) +
                    "? Its old sound data is erased.",
                exitCode)) {
        return exitCode;
    }
    update.Start();
    return Send(context, update, "sound data", "20 s");
}

}  // namespace k57::ctl
