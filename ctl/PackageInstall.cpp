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
bool Verified(Context& context, PackageInstall& install, package::Kind kind,
              JournalOperation operation, int& exitCode) {
    TrustedKeys keys = TrustedKeys::Load();
    for (const std::string& problem : keys.problems()) {
        std::fprintf(stderr, "k57ctl: a trusted key passed over: %s\n", problem.c_str());
    }
    install.check = CheckPackageFile(install.file, kind, keys);
    if (install.check.good()) {
        Say(context, install.file + ": verified, " + package::KindName(kind) + " " +
                         install.check.manifest.version + ", key " +
                         package::Hex(install.check.keyId));
        return true;
    }
    if (FileReadsStopped()) {
        exitCode = ReadFailed(install.file, {});
        return false;
    }
    exitCode = install.Refused(context, operation);
    return false;
}

}  // namespace

std::string PackageInstall::JournalDetail() const {
    std::string detail = "package blake2b-256 " + check.fileHash;
    if (check.signedManifest) {
        detail += ", version " + check.manifest.version;
    }
    if (check.keyNamed) {
        detail += ", key " + package::Hex(check.keyId);
    }
    return detail;
}

int PackageInstall::Refused(Context& context, JournalOperation operation) const {
    if (context.record) {
        context.record->Record(operation, context.device->PortName(), JournalResult::NotSent,
                               "package refused (" + std::string(VerdictName(check.verdict)) +
                                   "): " + check.detail + "; " + JournalDetail());
        TellJournalProblem(context);
    }
    return Fail(file + ": refused, nothing was sent to the unit: " + check.detail,
                kPackageRefused);
}

int InstallFirmwarePackage(Context& context, const std::string& file, bool force, bool restore,
                           bool allowDowngrade) {
    PackageInstall install{file, {}, allowDowngrade};
    int exitCode = kDone;
    if (!Verified(context, install, package::Kind::Firmware, JournalOperation::FirmwareUpdate,
                  exitCode)) {
        return exitCode;
    }
    // The check read the image's information block already: it holds.
    images::Firmware firmware = images::FirmwareFromImage(install.check.image, file.c_str());
    return WriteFirmware(context, firmware, file, force, restore, &install);
}

// The sound update reads its package afresh at every transfer, from a
// file: the verified image is written to one of the user's own, and that
// copy is what is sent.
int InstallSoundPackage(Context& context, const std::string& file) {
    PackageInstall install{file, {}, false};
    int exitCode = kDone;
    if (!Verified(context, install, package::Kind::Sound, JournalOperation::SoundUpdate,
                  exitCode)) {
        return exitCode;
    }
    QTemporaryFile copy;
    const std::string& image = install.check.image;
    if (!copy.open() || copy.write(image.data(), qint64(image.size())) != qint64(image.size()) ||
        !copy.flush()) {
        return Fail("the verified sound image cannot be put aside: " +
                        copy.errorString().toStdString(),
                    kNoJournal);
    }
    return UpdateSound(context, copy.fileName().toStdString(), &install);
}

}  // namespace k57::ctl
