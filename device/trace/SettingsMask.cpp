#include "SettingsMask.h"

namespace k57 {

namespace {

constexpr const char* kPin = "PinCod";
constexpr const char* kPhones[] = {"UserNumber1", "UserNumber2", "UserNumber3", "UserNumber4"};
constexpr size_t kPhoneDigitsShown = 2;
constexpr size_t kPhoneLengthShown = 10;

bool IsPhone(const std::string& key) {
    for (const char* phone : kPhones) {
        if (key == phone) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool IsPrivateSetting(const std::string& key) {
    return key == kPin || IsPhone(key);
}

std::string MaskSettingValue(const std::string& key, const std::string& value) {
    if (!IsPrivateSetting(key)) {
        return value;
    }
    std::string masked(value.size(), '*');
    // Only a whole number shows its tail; of a short one it would be most.
    if (IsPhone(key) && value.size() >= kPhoneLengthShown) {
        masked.replace(value.size() - kPhoneDigitsShown, kPhoneDigitsShown,
                       value.substr(value.size() - kPhoneDigitsShown));
    }
    return masked;
}

std::string MaskSettings(const std::string& text) {
    // Lines as the unit's text has them: ended by CR, LF or both; the key
    // is what comes before the line's first '='.
    std::string masked;
    masked.reserve(text.size());
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        size_t equals = line.find('=');
        if (equals != std::string::npos) {
            std::string key = line.substr(0, equals);
            line = key + "=" + MaskSettingValue(key, line.substr(equals + 1));
        }
        masked += line;
        size_t next = text.find_first_not_of("\r\n", end);
        next = next == std::string::npos ? text.size() : next;
        masked.append(text, end, next - end);
        start = next;
    }
    return masked;
}

}  // namespace k57
