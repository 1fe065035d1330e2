#include "FontFallbacks.h"

#include <QFont>
#include <QStringList>

namespace k57 {

void InstallFontFallbacks() {
    // Windows' own faces first, then those of Wine and of Linux desktops.
    const QStringList sans{"Segoe UI",    "Arial",           "Microsoft Sans Serif",
                           "DejaVu Sans", "Liberation Sans", "Noto Sans"};
    const QStringList mono{"Courier New", "DejaVu Sans Mono", "Liberation Mono", "Noto Mono"};
    // "MS Shell Dlg 2" is what Windows names for message boxes and menus,
    // and what a widget without a font of its own gets; Wine maps it to
    // Tahoma, so without Tahoma it came out serif.
    for (const char* family : {"Tahoma", "Verdana", "MS Shell Dlg 2", "MS Shell Dlg"}) {
        QFont::insertSubstitutions(family, sans);
    }
    // The fixed font Windows names for the trace and the logs.
    QFont::insertSubstitutions("Courier", mono);
    QFont::insertSubstitutions("Courier New", mono.mid(1));
}

}  // namespace k57
