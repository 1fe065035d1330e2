#pragma once

#include <string>

namespace k57 {

// The settings that say who the owner is: the SIM's PIN and the owners'
// phone numbers. Exports and shown entries mask them unless asked not to.
bool IsPrivateSetting(const std::string& key);

// A private value as shown masked: every byte becomes '*', except that a
// phone number keeps its last two digits, enough to tell the owners'
// numbers apart and not enough to call one. An empty value stays empty (it
// says the setting is unused). Other keys' values come back as they are.
std::string MaskSettingValue(const std::string& key, const std::string& value);

// The settings text with every private value masked; keys, other lines and
// line ends stay byte for byte.
std::string MaskSettings(const std::string& text);

}  // namespace k57
