#pragma once

#include "EmbeddedImages.h"
#include "UpdateSteps.h"

namespace k57 {

// The firmware update: the unit's version first; when it is not older than
// the image's, the update waits for Confirm. Then the start (10 s), the
// prefixed image in fragments, and the commit with the image's size and
// checksum. The image is borrowed and must outlive the update.
class FirmwareUpdate : public UpdateSteps {
  public:
    explicit FirmwareUpdate(const images::Firmware& firmware);

    // The image's information block holds a type and a version. Ends the
    // update with ImageInvalid when not.
    bool CheckImage();
    // The unit's record from the last version check.
    const VersionInfo& unit() const { return unit_; }
    const VersionInfo& image() const { return firmware_.info; }
    std::string targetVersion() const override;

  protected:
    Stage CheckVersion(DeviceInterface& device) override;
    int BeginRequest(DeviceInterface& device) override { return device.BeginFirmwareUpdate(); }

  private:
    const images::Firmware& firmware_;
    VersionInfo unit_{};
};

}  // namespace k57
