#pragma once

#include <QFont>

namespace k57 {

// The windows' interface font: Tahoma 8 pt (11 pixels at 96 dpi).
inline QFont FormFont() {
    QFont font("Tahoma");
    font.setPointSize(8);
    return font;
}

}  // namespace k57
