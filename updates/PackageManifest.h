#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// What a package says about its image: UTF-8 "key=value" lines, each key
// once, in the order below, every line ending in LF. The manifest's bytes
// are what the publisher signs, and they hold the image's size and hash, so
// the one signature covers the image too. docs/dev/package-format.md.
namespace k57::package {

constexpr size_t kMaxManifest = 16 * 1024;
constexpr size_t kMaxImage = 8 * 1024 * 1024;
constexpr size_t kMaxVersion = 15;  // the unit's version field holds 15 characters
constexpr size_t kMaxNotes = 2000;  // bytes of UTF-8 for each language
constexpr char kProduct[] = "K57BT";

enum class Kind { Firmware, Sound };
const char* KindName(Kind kind);

struct Manifest {
    Kind kind = Kind::Firmware;
    std::string product = kProduct;
    std::string version;  // as the unit reports it: "000.010"
    std::string lowest;   // the oldest version it may replace; empty: any
    uint32_t imageSize = 0;
    std::string imageSha256;  // 64 lowercase hexadecimal digits
    std::string created;      // UTC, "2026-12-09T06:50:00Z"
    std::string notesRu;
    std::string notesEn;
};

// The manifest as its lines. The fields must already be valid (see
// ManifestProblem).
std::string ManifestText(const Manifest& manifest);

// Why the fields cannot make a manifest, or empty: a version of printable
// ASCII without spaces, notes of valid UTF-8 on one line, a hash of 64
// lowercase hex digits, the time as above, a size of at most 8 MB.
std::string ManifestProblem(const Manifest& manifest);

// The manifest read from its text, strictly: every key known, present and
// in its place, every value as ManifestProblem wants. False with the reason.
bool ReadManifest(std::string_view text, Manifest& manifest, std::string& problem);

// The current time as a manifest writes it.
std::string UtcNow();

}  // namespace k57::package
