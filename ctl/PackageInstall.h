#pragma once

#include <string>

#include "Commands.h"
#include "EmbeddedImages.h"
#include "PackageCheck.h"

namespace k57::ctl {

// A package on its way to a unit: its check so far, and what the journal
// keeps of it.
struct PackageInstall {
    std::string file;
    PackageCheck check;
    bool allowDowngrade = false;

    // "package blake2b-256 …, version 000.010, key 1a2b…": an install's detail.
    std::string JournalDetail() const;
    // The refusal told and recorded (result not sent, with the reason);
    // kPackageRefused.
    int Refused(Context& context, JournalOperation operation) const;
};

// The firmware update of UpdateFirmware on an image already loaded;
// `package`, when the image is a package's, is judged against the unit's
// version before anything is sent.
int WriteFirmware(Context& context, const images::Firmware& firmware, const std::string& imagePath,
                  bool force, bool restore, PackageInstall* package);

}  // namespace k57::ctl
