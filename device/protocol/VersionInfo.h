#pragma once

#include <string>

// The unit's type and firmware version: filled from the unit's version
// reply, and also the layout of the information block in a firmware image.
struct VersionInfo {
    char type[48];
    char version[16];
    char extra[32];
};
static_assert(sizeof(VersionInfo) == 96, "VersionInfo is a 96-byte record");

namespace k57 {

// Splits "type\nversion\nextra" into `info`, each part cut to its field.
// True when the text had both line feeds and every part fitted.
bool SplitVersionText(VersionInfo& info, const std::string& text);

}  // namespace k57
