#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "EmbeddedImages.h"

namespace k57 {

// An update is sent in fragments of at most this many bytes.
constexpr int kFragmentBytes = 1024;

// What an update sends: its bytes in order, then the size and checksum the
// commit carries.
class TransferSource {
  public:
    virtual ~TransferSource() = default;
    // Back to the first byte.
    virtual void Rewind() = 0;
    // Up to `n` next bytes; 0 at the end.
    virtual int Read(uint8_t* buffer, int n) = 0;
    virtual void CommitFields(uint32_t& checksum, uint32_t& size) = 0;
    // The progress bar's maximum: one step a fragment.
    virtual int Steps() const = 0;
    // The bytes sent in all, once rewound.
    virtual int64_t Bytes() const = 0;
    // Called when the update ends or is stopped.
    virtual void Release() {}
};

// The firmware as sent: the 0xFF prefix and the image. The commit carries
// the image's size and the checksum of the image alone.
class FirmwareSource : public TransferSource {
  public:
    explicit FirmwareSource(const images::Firmware& firmware) : firmware_(firmware) {}
    void Rewind() override { cursor_ = 0; }
    int Read(uint8_t* buffer, int n) override;
    void CommitFields(uint32_t& checksum, uint32_t& size) override;
    int Steps() const override { return firmware_.size / kFragmentBytes + 1; }
    int64_t Bytes() const override { return int64_t(firmware_.buffer.size()); }

  private:
    const images::Firmware& firmware_;
    size_t cursor_ = 0;
};

// The sound package as it is, header included, read afresh from its start
// at every transfer. The commit carries the size and checksum from the
// package's own header: the tool computes no checksum of its own for it.
class SoundSource : public TransferSource {
  public:
    explicit SoundSource(std::string path = images::kSoundPath) : path_(std::move(path)) {}
    void Rewind() override;
    int Read(uint8_t* buffer, int n) override;
    void CommitFields(uint32_t& checksum, uint32_t& size) override;
    int Steps() const override { return int(size_ / kFragmentBytes) + 1; }
    int64_t Bytes() const override { return size_; }
    void Release() override { package_.reset(); }

    // Whether the package at `path` can be read and its header's size and
    // checksum match its data; the data size, or what is wrong.
    static bool Check(const std::string& path, uint32_t& dataSize, std::string& problem);
    // The same for the package's bytes.
    static bool HeaderMatches(std::string_view package, uint32_t& dataSize);

  private:
    std::string path_;
    std::unique_ptr<images::SoundPackage> package_;
    int64_t size_ = 0;
};

}  // namespace k57
