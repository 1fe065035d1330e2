#include "PackageManifest.h"

#include <cctype>
#include <ctime>
#include <vector>

namespace k57::package {

namespace {

constexpr const char* kKeys[] = {"format",     "kind",         "product", "version",  "lowest",
                                 "image-size", "image-sha256", "created", "notes-ru", "notes-en"};
constexpr const char kManifestFormat[] = "1";

bool IsVersion(const std::string& text, bool mayBeEmpty) {
    if (text.empty()) {
        return mayBeEmpty;
    }
    if (text.size() > kMaxVersion) {
        return false;
    }
    for (unsigned char c : text) {
        if (c <= ' ' || c >= 0x7F) {
            return false;
        }
    }
    return true;
}

// Valid UTF-8 without control characters: a line of text in any language.
bool IsNotes(const std::string& text) {
    if (text.size() > kMaxNotes) {
        return false;
    }
    for (size_t i = 0; i < text.size();) {
        auto c = static_cast<unsigned char>(text[i]);
        size_t extra = 0;
        if (c < 0x80) {
            if (c < ' ' || c == 0x7F) {
                return false;
            }
        } else if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
        } else {
            return false;
        }
        if (extra >= text.size() - i) {
            return false;
        }
        for (size_t k = 1; k <= extra; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += extra + 1;
    }
    return true;
}

bool IsHash(const std::string& text) {
    if (text.size() != 64) {
        return false;
    }
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)) && (c < 'a' || c > 'f')) {
            return false;
        }
    }
    return true;
}

// "YYYY-MM-DDTHH:MM:SSZ", digits where the pattern has them.
bool IsTime(const std::string& text) {
    const std::string pattern = "0000-00-00T00:00:00Z";
    if (text.size() != pattern.size()) {
        return false;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        bool digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
        if (pattern[i] == '0' ? !digit : text[i] != pattern[i]) {
            return false;
        }
    }
    return true;
}

bool ReadSize(const std::string& text, uint32_t& size) {
    if (text.empty() || text.size() > 7 || (text.size() > 1 && text[0] == '0')) {
        return false;
    }
    size = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return false;
        }
        size = size * 10 + uint32_t(c - '0');
    }
    return true;
}

}  // namespace

const char* KindName(Kind kind) {
    return kind == Kind::Firmware ? "firmware" : "sound";
}

std::string ManifestText(const Manifest& m) {
    const std::string values[] = {kManifestFormat, KindName(m.kind), m.product,
                                  m.version,       m.lowest,         std::to_string(m.imageSize),
                                  m.imageSha256,   m.created,        m.notesRu,
                                  m.notesEn};
    std::string text;
    for (size_t i = 0; i < std::size(kKeys); ++i) {
        text += std::string(kKeys[i]) + "=" + values[i] + "\n";
    }
    return text;
}

std::string ManifestProblem(const Manifest& m) {
    if (m.product.empty() || !IsVersion(m.product, false))
        return "the product is empty or holds spaces";
    if (!IsVersion(m.version, false))
        return "the version is not 1 to 15 printable characters without spaces";
    if (!IsVersion(m.lowest, true))
        return "the lowest version is not up to 15 printable characters without spaces";
    if (m.imageSize == 0 || m.imageSize > kMaxImage)
        return "the image is empty or larger than 8 MB";
    if (!IsHash(m.imageSha256))
        return "the image's hash is not 64 lowercase hexadecimal digits";
    if (!IsTime(m.created))
        return "the creation time is not YYYY-MM-DDTHH:MM:SSZ";
    if (!IsNotes(m.notesRu) || !IsNotes(m.notesEn))
        return "the notes are not one line of UTF-8 text of at most 2000 bytes";
    return {};
}

bool ReadManifest(std::string_view text, Manifest& m, std::string& problem) {
    if (text.size() > kMaxManifest) {
        problem = "the manifest is larger than 16 KB";
        return false;
    }
    std::vector<std::string> values;
    size_t at = 0;
    for (const char* key : kKeys) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos) {
            problem = std::string("the manifest ends before \"") + key + "\"";
            return false;
        }
        std::string_view line = text.substr(at, end - at);
        std::string prefix = std::string(key) + "=";
        if (line.substr(0, prefix.size()) != prefix) {
            problem = std::string("the manifest's line ") + std::to_string(values.size() + 1) +
                      " is not \"" + key + "=...\"";
            return false;
        }
        values.emplace_back(line.substr(prefix.size()));
        at = end + 1;
    }
    if (at != text.size()) {
        problem = "the manifest holds more than its " + std::to_string(std::size(kKeys)) + " lines";
        return false;
    }
    if (values[0] != kManifestFormat) {
        problem = "the manifest's format " + values[0] + " is not known";
        return false;
    }
    if (values[1] != "firmware" && values[1] != "sound") {
        problem = "the kind \"" + values[1] + "\" is neither firmware nor sound";
        return false;
    }
    m.kind = values[1] == "firmware" ? Kind::Firmware : Kind::Sound;
    m.product = values[2];
    m.version = values[3];
    m.lowest = values[4];
    if (!ReadSize(values[5], m.imageSize)) {
        problem = "the image size \"" + values[5] + "\" is not a number";
        return false;
    }
    m.imageSha256 = values[6];
    m.created = values[7];
    m.notesRu = values[8];
    m.notesEn = values[9];
    problem = ManifestProblem(m);
    return problem.empty();
}

std::string UtcNow() {
    std::time_t now = std::time(nullptr);
    std::tm utc{};
#ifdef _WIN32
    gmtime_s(&utc, &now);
#else
    gmtime_r(&now, &utc);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

}  // namespace k57::package
