#pragma once

#include <string>

#include "EmbeddedImages.h"
#include "UpdateSteps.h"

namespace k57 {

// The sound update: the start (20 s), the package as it is, header
// included, in fragments, and the commit with the header's size and
// checksum. The package is read afresh from its start at every update.
class SoundUpdate : public UpdateSteps {
  public:
    explicit SoundUpdate(std::string path = images::kSoundPath);

    // The package can be read and its header matches its data. Ends the
    // update with ImageInvalid when not; `problem` says why.
    bool CheckImage(uint32_t& dataSize, std::string& problem);

  protected:
    int BeginRequest(DeviceInterface& device) override { return device.BeginWaveUpdate(); }

  private:
    std::string path_;
};

}  // namespace k57
