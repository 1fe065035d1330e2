#pragma once

namespace k57 {

// Tells Qt which installed families stand in for the fonts the windows name
// (Tahoma, Verdana, Courier) and Windows' own dialog and fixed faces ("MS
// Shell Dlg 2", Courier New) where those are missing. Without it Qt's
// Windows font engine may take any face at all - under Wine with only the
// DejaVu fonts it took "DejaVu Math TeX Gyre", whose glyph boxes are four
// times its line height, and every line edit centred its text out of sight.
// A family that is installed is still used as it is.
void InstallFontFallbacks();

}  // namespace k57
