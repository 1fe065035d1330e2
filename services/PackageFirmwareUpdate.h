#pragma once

#include <memory>
#include <string>

#include "FirmwareUpdate.h"
#include "PackageCheck.h"

namespace k57 {

// The firmware update from a verified package: once the unit has said
// which firmware it has, the package is judged against it (CheckAgainstUnit)
// before anything is sent, and a refusal ends the update as PackageRefused.
// With `allowDowngrade` an older package goes on to Confirm, as an equal
// one does, so the caller can ask first. The image is the package's own.
class PackageFirmwareUpdate : public FirmwareUpdate {
  public:
    // `check` must be good and hold a firmware package.
    PackageFirmwareUpdate(PackageCheck check, bool allowDowngrade);

    const PackageCheck& check() const { return check_; }
    bool allowsDowngrade() const { return allowDowngrade_; }
    // The unit's firmware is newer than the package's: a downgrade.
    bool downgrade() const;
    // What the journal keeps of this update's package: its refusal when it
    // was refused.
    std::string JournalDetail() const;

  protected:
    Stage CheckVersion(DeviceInterface& device) override;

  private:
    // The base borrows the image, made on the heap before it.
    PackageFirmwareUpdate(std::unique_ptr<images::Firmware> image, PackageCheck& check,
                          bool allowDowngrade);

    std::unique_ptr<images::Firmware> image_;
    PackageCheck check_;
    bool allowDowngrade_;
};

}  // namespace k57
