#pragma once

#include <memory>

#include "DeviceInterface.h"
#include "EmbeddedImages.h"

// The sound transfer, one device exchange per step: blocks of up to 1024
// bytes of the package as it is, header included, then the commit with the
// size and checksum from the package's own header.
class SoundTransfer {
  public:
    enum class Step { Sent, SendFailed, Committed, CommitRefused };
    static constexpr int kBlock = 1024;

    explicit SoundTransfer(const char* path = k57::images::kSoundPath) : path_(path) {}

    // Opens the package afresh at its start.
    void Begin();
    bool active() const { return package_ != nullptr; }
    void Stop() { package_.reset(); }
    Step Next(DeviceInterface& device);
    int blocks() const { return size_ / kBlock + 1; }

  private:
    const char* path_;
    std::unique_ptr<k57::images::SoundPackage> package_;
    int64_t size_ = 0;
    int32_t offset_ = 0;
};
