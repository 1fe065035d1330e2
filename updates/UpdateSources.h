#pragma once

#include <memory>

#include "EmbeddedImages.h"
#include "Transfer.h"

namespace k57 {

// The firmware as sent: the 0xFF prefix and the image. The commit carries
// the image's size and the checksum of the image alone.
class FirmwareSource : public TransferSource {
  public:
    explicit FirmwareSource(const images::Firmware& firmware) : firmware_(firmware) {}
    void Rewind() override { cursor_ = 0; }
    int Read(uint8_t* buffer, int n) override;
    void CommitFields(uint32_t& checksum, uint32_t& size) override;
    int Steps() const override { return firmware_.size / Transfer::kBlock + 1; }

  private:
    const images::Firmware& firmware_;
    size_t cursor_ = 0;
};

// The sound package as it is, header included, read afresh from its start
// at every transfer. The commit carries the size and checksum from the
// package's own header.
class SoundSource : public TransferSource {
  public:
    explicit SoundSource(const char* path = images::kSoundPath) : path_(path) {}
    void Rewind() override;
    int Read(uint8_t* buffer, int n) override;
    void CommitFields(uint32_t& checksum, uint32_t& size) override;
    int Steps() const override { return int(size_ / Transfer::kBlock) + 1; }
    void Release() override { package_.reset(); }

  private:
    const char* path_;
    std::unique_ptr<images::SoundPackage> package_;
    int64_t size_ = 0;
};

}  // namespace k57
