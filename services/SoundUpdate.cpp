#include "SoundUpdate.h"

namespace k57 {

SoundUpdate::SoundUpdate(std::string path)
    : UpdateSteps(std::make_unique<SoundSource>(path), false), path_(std::move(path)) {}

bool SoundUpdate::CheckImage(uint32_t& dataSize, std::string& problem) {
    if (SoundSource::Check(path_, dataSize, problem)) {
        return true;
    }
    Start();
    End(UpdateOutcome::ImageInvalid);
    return false;
}

}  // namespace k57
