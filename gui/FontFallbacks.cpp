#include "FontFallbacks.h"

#include <QFont>
#include <QStringList>

namespace k57 {

void InstallFontFallbacks() {
    // Windows' own faces first, then those of Wine and of Linux desktops.
    const QStringList sans{"Segoe UI",    "Arial",           "Microsoft Sans Serif",
                           "DejaVu Sans", "Liberation Sans", "Noto Sans"};
    const QStringList mono{"Courier New", "DejaVu Sans Mono", "Liberation Mono", "Noto Mono"};
    for (const char* family : {"Tahoma", "Verdana"}) {
        QFont::insertSubstitutions(family, sans);
    }
    QFont::insertSubstitutions("Courier", mono);
}

}  // namespace k57
