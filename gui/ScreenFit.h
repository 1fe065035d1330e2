#pragma once

#include <QSize>

class QWidget;

namespace k57 {

// What a window's frame adds to its client area: a Windows 10/11 title bar
// and borders, in logical pixels at any scale.
inline constexpr QSize kWindowFrame{16, 39};

// The client size a window opens at: the designed size where that fits the
// work area with its frame, as on any screen at 100 %; else as much of it
// as fits (a laptop at 150 %: 1366 x 768 is 910 x 472 logical pixels).
QSize FittedSize(QSize designed, QSize workArea, QSize frame = kWindowFrame);

// Shrinks a top-level window whose designed size is larger than its
// screen's work area; its layout (or its own resize code) takes the loss.
void FitToScreen(QWidget& window);

// Centres the window's client area on its screen's work area, keeping the
// title bar on the screen.
void CentreOnScreen(QWidget& window);

}  // namespace k57
