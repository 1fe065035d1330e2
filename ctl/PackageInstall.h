#pragma once

#include <string>

#include "Commands.h"
#include "FirmwareUpdate.h"
#include "PackageFirmwareUpdate.h"

namespace k57::ctl {

// A refused package told and recorded (not sent, with the reason);
// kPackageRefused.
int RefusePackage(Context& context, const std::string& file, const PackageCheck& check,
                  JournalOperation operation);

// The firmware update of UpdateFirmware with its image already loaded in
// `update`; `package`, when that is a package's update (the same object),
// names the file a refusal is told for.
int WriteFirmware(Context& context, FirmwareUpdate& update, const std::string& imagePath,
                  bool force, bool restore, const PackageFirmwareUpdate* package = nullptr);

}  // namespace k57::ctl
