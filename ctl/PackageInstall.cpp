// update firmware --package and update sound --package: the package is
// verified before the unit is asked anything that changes it, and every
// refusal has its journal entry, so a workshop can see what was turned away.

#include "PackageInstall.h"

#include <QTemporaryFile>
#include <stdexcept>

#include "ExitCodes.h"
#include "FileRead.h"

namespace k57::ctl {

namespace {

// The package read and checked against the trusted keys and the kind the
// command writes; false when refused (told and recorded).
bool Verified(Context& context, const std::string& file, PackageCheck& check, package::Kind kind,
              JournalOperation operation, int& exitCode) {
    TrustedKeys keys = TrustedKeys::Load();
    for (const std::string& problem : keys.problems()) {
        std::fprintf(stderr, "k57ctl: a trusted key passed over: %s\n", problem.c_str());
    }
    check = CheckPackageFile(file, kind, keys);
    if (check.good()) {
        Say(context, file + ": verified, " + package::KindName(kind) + " " +
                         check.manifest.version + ", key " + package::Hex(check.keyId));
        return true;
    }
    exitCode =
        FileReadsStopped() ? ReadFailed(file, {}) : RefusePackage(context, file, check, operation);
    return false;
}

}  // namespace

int RefusePackage(Context& context, const std::string& file, const PackageCheck& check,
                  JournalOperation operation) {
    if (context.record) {
        context.record->Record(operation, context.device->PortName(), JournalResult::NotSent,
                               PackageRefusalDetail(check));
        TellJournalProblem(context);
    }
    return Fail(file + ": refused, nothing was sent to the unit: " + check.detail, kPackageRefused);
}

int InstallFirmwarePackage(Context& context, const std::string& file, bool force, bool restore,
                           bool allowDowngrade) {
    PackageCheck check;
    int exitCode = kDone;
    if (!Verified(context, file, check, package::Kind::Firmware, JournalOperation::FirmwareUpdate,
                  exitCode)) {
        return exitCode;
    }
    // The check read the image's information block already: it holds.
    PackageFirmwareUpdate update(std::move(check), allowDowngrade);
    return WriteFirmware(context, update, file, force, restore, &update);
}

// The sound update reads its package afresh at every transfer, from a
// file: the verified image is written to one of the user's own, and that
// copy is what is sent.
int InstallSoundPackage(Context& context, const std::string& file) {
    PackageCheck check;
    int exitCode = kDone;
    if (!Verified(context, file, check, package::Kind::Sound, JournalOperation::SoundUpdate,
                  exitCode)) {
        return exitCode;
    }
    QTemporaryFile copy;
    const std::string& image = check.image;
    if (!copy.open() || copy.write(image.data(), qint64(image.size())) != qint64(image.size()) ||
        !copy.flush()) {
        return Fail(
            "the verified sound image cannot be put aside: " + copy.errorString().toStdString(),
            kNoJournal);
    }
    return UpdateSound(context, copy.fileName().toStdString(), PackageJournalDetail(check));
}

}  // namespace k57::ctl
