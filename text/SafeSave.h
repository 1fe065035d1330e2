#pragma once

#include <QString>
#include <string>

namespace k57 {

// Writes `bytes` to `path` beside the old file and renames it over it only
// once all is written, so a failed save leaves the previous file whole.
// False with the system's reason in `error`.
bool SafeSave(const QString& path, const std::string& bytes, QString& error);

}  // namespace k57
