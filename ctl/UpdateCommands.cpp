// update firmware and update sound: FirmwareUpdate and SoundUpdate stepped
// in a loop, with a progress display and a clean stop on Ctrl+C.

#include <cctype>
#include <stdexcept>
#include <string_view>

#include "Commands.h"
#include "Cp1251.h"
#include "ExitCodes.h"
#include "FileRead.h"
#include "FirmwareUpdate.h"
#include "PackageInstall.h"
#include "ParameterList.h"
#include "PortMapping.h"
#include "SettingsGuard.h"
#include "SoundUpdate.h"
#include "Terminal.h"
#include "UnitText.h"

namespace k57::ctl {

namespace {

// "fragment 12 of 92": how far an update got.
std::string Fragment(int n, const UpdateProgress& progress) {
    return Words("fragment %1 of %2", "фрагмент %1 из %2",
                 {std::to_string(n), std::to_string(progress.fragments)});
}

// A word as the shell reads it back: quoted unless every character is one
// that needs no quoting.
std::string ShellWord(const std::string& word) {
    bool plain = !word.empty();
    for (char c : word) {
        plain = plain && (std::isalnum(static_cast<unsigned char>(c)) ||
                          std::string_view("_-./:=,+@%").find(c) != std::string_view::npos);
    }
    if (plain) {
        return word;
    }
#ifdef _WIN32
    return "\"" + word + "\"";  // cmd: a port name holds no quote
#else
    std::string quoted = "'";
    for (char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
#endif
}

// The command that writes the backup back, as it can be run: with the
// --port this one was given.
std::string RestoreCommand(const Context& context, long long entry) {
    return "k57ctl " + (context.port.empty() ? "" : "--port " + ShellWord(context.port) + " ") +
           "restore " + std::to_string(entry);
}

int Interruption(const UpdateProgress* sent) {
    return Fail(sent ? "interrupted after " + Fragment(sent->fragmentsSent, *sent) +
                           ": nothing more was sent and nothing committed; the unit keeps "
                           "what it had until an update is committed"
                     : "interrupted: nothing was sent",
                kInterrupted);
}

// The start, every fragment, then the commit. Ctrl+C stops between two
// steps or ends the one being waited for; no commit follows.
int Send(Context& context, UpdateSteps& update, const std::string& what, const std::string& wait) {
    Say(context, Words("preparing the unit (up to %1)", "подготовка устройства (до %1)", {wait}));
    if (update.Step(*context.device) != UpdateSteps::Stage::Send) {
        return Interrupted() ? Interruption(nullptr) : Failed(context, update.lastResult());
    }
    Progress progress(what, context.quiet);
    HeldWaits fragmentsFinish;
    while (update.stage() == UpdateSteps::Stage::Send) {
        if (Interrupted()) {
            update.Stop();
            break;
        }
        update.Step(*context.device);
        progress.Update(update.progress());
    }
    progress.Finish();
    if (Interrupted() && update.outcome() != UpdateOutcome::Done) {
        return Interruption(&update.progress());
    }
    const UpdateProgress& sent = update.progress();
    switch (update.outcome()) {
        case UpdateOutcome::Done:
            Say(context,
                Words("%1: done, the unit acknowledged the commit (%2 bytes in %3 "
                      "fragments, %4/s)",
                      "%1: готово, устройство подтвердило запись (%2 байт в %3 "
                      "фрагментах, %4/с)",
                      {what, std::to_string(sent.bytesSent), std::to_string(sent.fragmentsSent),
                       Kilobytes(sent.bytesPerSecond, Words("KB", "КБ", {}))}));
            return kDone;
        case UpdateOutcome::CommitRefused:
            return Fail(what + ": the unit did not acknowledge the commit after all " +
                            std::to_string(sent.fragmentsSent) + " fragments (" +
                            Describe(context.device->LastFailure()) +
                            "); run the update again, it starts from the beginning",
                        kRefused);
        default:
            if (update.lastResult() == kLineLost) {
                return Fail(Words("%1: %2: the connection was lost during the update; plug the "
                                  "unit in and run the update again, it starts from the beginning",
                                  "%1: %2: связь потеряна во время обновления; подключите "
                                  "устройство и повторите обновление, оно начнётся сначала",
                                  {ports::ShownName(context.device->PortName()), what}),
                            ExitFor(update.lastResult()));
            }
            Failed(context, update.lastResult());
            return Fail(Words("%1: %2 was not acknowledged; nothing was committed; check the "
                              "connection and run the update again, it starts from the beginning",
                              "%1: %2 не подтверждён, ничего не записано; проверьте подключение "
                              "и повторите обновление, оно начнётся сначала",
                              {what, Fragment(update.failedFragment(), sent)}),
                        ExitFor(update.lastResult()));
    }
}

// Backup, the update, and its journal entry.
int GuardedSend(Context& context, SettingsGuard& guard, UpdateSteps& update,
                const std::string& what, const std::string& wait, const std::string& source) {
    int exitCode = kDone;
    if (!BackedUp(context, guard, exitCode)) {
        return exitCode;
    }
    exitCode = Send(context, update, what, wait);
    guard.Changed(update, source);
    TellJournalProblem(context);
    return exitCode;
}

// After a firmware update the unit may have reset its settings: they are
// read again and compared with the backup; the backup is written back with
// --restore or when the user agrees on a terminal, otherwise the
// differences are printed with the command that restores them.
int RestoreAfterUpdate(Context& context, SettingsGuard& guard, bool restore) {
    if (!guard.backup()) {
        return kDone;
    }
    int result = guard.ReadAgain(*context.device);
    ParameterList catalogue;
    if (!LoadCatalogue(catalogue)) {
        return kBadInput;
    }
    std::vector<SettingDifference> differences = guard.Differences(catalogue);
    TellJournalProblem(context);
    if (result != kReplyOk) {
        return Fail(
            "the settings could not be read after the update (" +
                Describe(context.device->LastFailure()) + "); " +
                (guard.backupEntry() != 0
                     ? "the backup is journal entry " + std::to_string(guard.backupEntry()) + ": " +
                           RestoreCommand(context, guard.backupEntry()) + " writes it back"
                     : std::string("the backup is not in the journal")),
            ExitFor(result));
    }
    if (differences.empty()) {
        Say(context, Words("the unit kept its settings", "устройство сохранило свои настройки"));
        return kDone;
    }
    MaskDifferences(differences);
    std::fprintf(stderr, "the unit's settings differ from the backup:\n");
    for (const SettingDifference& d : differences) {
        std::fprintf(stderr, "  %s (%s): %s -> %s\n", cp1251::ToUtf8(d.name).c_str(),
                     cp1251::ToUtf8(d.key).c_str(), cp1251::ToUtf8(d.before).c_str(),
                     cp1251::ToUtf8(d.after).c_str());
    }
    bool ask = !restore && !context.yes && IsTerminal(stdin);
    if (!restore && !(ask && Confirm("Restore the settings from the backup?"))) {
        Say(context,
            "the settings were not restored; --restore writes the backup back after "
            "an update" +
                (guard.backupEntry() != 0
                     ? ", and " + RestoreCommand(context, guard.backupEntry()) + " does it now"
                     : std::string()));
        return kDone;
    }
    guard.Restore(*context.device);
    WriteCheck check = guard.Restored(catalogue);
    TellJournalProblem(context);
    return Verified(context, check, "the settings were restored from the backup");
}

}  // namespace

int UpdateFirmware(Context& context, const std::string& imagePath, bool force, bool restore) {
    images::Firmware firmware;
    try {
        firmware =
            imagePath.empty() ? images::LoadFirmware() : images::LoadFirmware(imagePath.c_str());
    } catch (const std::exception& e) {
        return FileReadsStopped() ? ReadFailed(imagePath, {})
                                  : Fail(std::string("no firmware image: ") + e.what(), kBadInput);
    }
    FirmwareUpdate update(firmware);
    return WriteFirmware(context, update, imagePath, force, restore);
}

// The unit's version is read before anything is sent: a package is judged
// against it there, and a refused one ends the update with its own entry.
int WriteFirmware(Context& context, FirmwareUpdate& update, const std::string& imagePath,
                  bool force, bool restore, const PackageFirmwareUpdate* package) {
    if (!update.CheckImage()) {
        return Fail(imagePath +
                        ": not a firmware image (its information block at offset 256 "
                        "holds no type and version)",
                    kBadInput);
    }
    std::string image = cp1251::ToUtf8(update.image().version);
    DeviceInterface& device = *context.device;
    update.Start();
    UpdateSteps::Stage stage = update.Step(device);
    if (update.outcome() == UpdateOutcome::NotConnected) {
        Record(context, JournalOperation::FirmwareUpdate, update.lastResult(),
               "the version check got no reply");
        return Failed(context, update.lastResult());
    }
    if (update.outcome() == UpdateOutcome::VersionUnreadable) {
        return Fail(
            ports::ShownName(device.PortName()) + ": the unit's version reply cannot be read",
            kWrongReply);
    }
    if (update.outcome() == UpdateOutcome::PackageRefused) {
        return RefusePackage(context, imagePath, package->check(),
                             JournalOperation::FirmwareUpdate);
    }
    std::string current = cp1251::ToUtf8(update.unit().version);
    if (package) {
        force = force || package->allowsDowngrade();
    }
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
    SettingsGuard guard(*context.record, JournalOperation::FirmwareUpdate);
    exitCode =
        GuardedSend(context, guard, update, Words("firmware %1", "прошивка %1", {image}),
                    Words("10 s", "10 с", {}), package ? package->JournalDetail() : std::string());
    if (exitCode != kDone || update.outcome() != UpdateOutcome::Done) {
        return exitCode;
    }
    return RestoreAfterUpdate(context, guard, restore);
}

int UpdateSound(Context& context, const std::string& imagePath, const std::string& packageDetail) {
    std::string path = imagePath.empty() ? images::kSoundPath : imagePath;
    SoundUpdate update(path);
    uint32_t size = 0;
    std::string problem;
    if (!update.CheckImage(size, problem)) {
        return FileReadsStopped() ? ReadFailed(path, {}) : Fail(problem, kBadInput);
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
    SettingsGuard guard(*context.record, JournalOperation::SoundUpdate);
    return GuardedSend(context, guard, update, Words("sound data", "звуковые данные"),
                       Words("20 s", "20 с", {}), packageDetail);
}

}  // namespace k57::ctl
