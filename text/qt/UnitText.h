#pragma once

#include <QString>
#include <optional>
#include <string>

// The unit's texts, the catalogue and settings files are Windows-1251 bytes;
// they become QStrings only to be shown, and typed text goes back to bytes.
namespace k57 {

QString FromUnit(const std::string& windows1251);
// Nothing when a character has no Windows-1251 byte.
std::optional<std::string> ToUnit(const QString& text);

}  // namespace k57
