#include "FirmwareUpdate.h"

#include <cstring>

namespace k57 {

namespace {

// A field of an information block is text: printable, not empty.
bool IsText(const char* field) {
    if (!*field) {
        return false;
    }
    for (const char* c = field; *c; ++c) {
        if (static_cast<unsigned char>(*c) < 0x20) {
            return false;
        }
    }
    return true;
}

}  // namespace

FirmwareUpdate::FirmwareUpdate(const images::Firmware& firmware)
    : UpdateSteps(std::make_unique<FirmwareSource>(firmware), true), firmware_(firmware) {}

bool FirmwareUpdate::CheckImage() {
    if (IsText(firmware_.info.type) && IsText(firmware_.info.version)) {
        return true;
    }
    Start();
    End(UpdateOutcome::ImageInvalid);
    return false;
}

// An image whose version fills its field has no terminator to stop at.
std::string FirmwareUpdate::targetVersion() const {
    const char* version = firmware_.info.version;
    return std::string(version, strnlen(version, sizeof(firmware_.info.version)));
}

// A reply that is not three parts, or whose parts do not fit the record,
// cannot be compared: the update ends.
UpdateSteps::Stage FirmwareUpdate::CheckVersion(DeviceInterface& device) {
    std::string text;
    int result = Exchanged(device.ReadVersion(text));
    if (result != kReplyOk) {
        return End(UpdateOutcome::NotConnected);
    }
    unit_ = VersionInfo{};
    if (!SplitVersionText(unit_, text)) {
        return End(UpdateOutcome::VersionUnreadable);
    }
    // Only the versions count; the unit's type is not compared.
    return images::CompareVersions(unit_.version, firmware_.info.version) < 0 ? Stage::Begin
                                                                              : Stage::Confirm;
}

}  // namespace k57
