#pragma once

#include <QSettings>

namespace k57 {

// The tool's own settings file (on Linux ~/.config/k57tool/k57tool.ini,
// beside the stored port; on Windows under %APPDATA%): the choices made in
// the windows that last from one run to the next.
inline QSettings ToolSettings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, "k57tool", "k57tool");
}

}  // namespace k57
