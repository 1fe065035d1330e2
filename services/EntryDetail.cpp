#include "EntryDetail.h"

#include <cctype>

namespace k57 {

namespace {

constexpr const char kSource[] = "entry ";
constexpr const char kTarget[] = "target version ";
// Within a package's part: "package blake2b-256 H, version V, key K".
constexpr const char kPackage[] = "package blake2b-256 ";
constexpr const char kPackageVersion[] = ", version ";

// The text after `at` up to the first of `ends`; nothing when it is empty.
std::optional<std::string> Until(const std::string& text, size_t at, const char* ends) {
    std::string value = text.substr(at, text.find_first_of(ends, at) - at);
    return value.empty() ? std::nullopt : std::optional(value);
}

}  // namespace

std::string RestoreSourceDetail(long long entryId) {
    return kSource + std::to_string(entryId);
}

std::optional<long long> RestoredFrom(const JournalEntry& entry) {
    const std::string& detail = entry.detail;
    if (entry.operation != JournalOperation::Restore || detail.rfind(kSource, 0) != 0) {
        return std::nullopt;
    }
    size_t at = sizeof(kSource) - 1;
    size_t end = at;
    while (end < detail.size() && std::isdigit(static_cast<unsigned char>(detail[end]))) {
        ++end;
    }
    if (end == at || end - at > 18 || (end < detail.size() && detail[end] != ';')) {
        return std::nullopt;
    }
    return std::stoll(detail.substr(at, end - at));
}

std::string TargetVersionDetail(const std::string& version) {
    return kTarget + version;
}

std::optional<std::string> TargetVersion(const JournalEntry& entry) {
    if (entry.operation != JournalOperation::FirmwareUpdate) {
        return std::nullopt;
    }
    const std::string& detail = entry.detail;
    size_t target = detail.find(std::string("; ") + kTarget);
    if (target != std::string::npos) {
        return Until(detail, target + 2 + sizeof(kTarget) - 1, ";");
    }
    size_t package = detail.find(kPackage);
    size_t version = detail.find(kPackageVersion, package);
    if (package == std::string::npos || version == std::string::npos) {
        return std::nullopt;
    }
    return Until(detail, version + sizeof(kPackageVersion) - 1, ",;");
}

}  // namespace k57
