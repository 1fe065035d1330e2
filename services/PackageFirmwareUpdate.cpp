#include "PackageFirmwareUpdate.h"

namespace k57 {

// The check is taken by reference there: the image is made from it before
// it is moved, whatever order the arguments are evaluated in.
PackageFirmwareUpdate::PackageFirmwareUpdate(PackageCheck check, bool allowDowngrade)
    : PackageFirmwareUpdate(std::make_unique<images::Firmware>(images::FirmwareFromImage(
                                check.image, check.manifest.version.c_str())),
                            check, allowDowngrade) {}

PackageFirmwareUpdate::PackageFirmwareUpdate(std::unique_ptr<images::Firmware> image,
                                             PackageCheck& check, bool allowDowngrade)
    : FirmwareUpdate(*image),
      image_(std::move(image)),
      check_(std::move(check)),
      allowDowngrade_(allowDowngrade) {}

bool PackageFirmwareUpdate::downgrade() const {
    return images::CompareVersions(check_.manifest.version.c_str(), unit().version) < 0;
}

std::string PackageFirmwareUpdate::JournalDetail() const {
    return check_.good() ? PackageJournalDetail(check_) : PackageRefusalDetail(check_);
}

UpdateSteps::Stage PackageFirmwareUpdate::CheckVersion(DeviceInterface& device) {
    Stage next = FirmwareUpdate::CheckVersion(device);
    if (next == Stage::Idle) {
        return next;  // no usable reply: nothing to judge against
    }
    CheckAgainstUnit(check_, unit().version, allowDowngrade_);
    return check_.good() ? next : End(UpdateOutcome::PackageRefused);
}

}  // namespace k57
