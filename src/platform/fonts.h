// The window's fonts: Tahoma where it can be had, a fitting stand-in elsewhere, and the fixed-width choice.
#pragma once

#include <QFont>

namespace platform
{

// Makes Tahoma available from a known metric-compatible copy when the system lacks it.
void RegisterFonts();

// Tahoma 8.25 pt regular, or the stand-in.
QFont UiFont();
// The family the text box switches to for "Fixed width font", at the given size.
QFont FixedWidthFont(const QFont &current);
// The proportional family at 8 pt, for switching the fixed-width font off.
QFont ProportionalFont();

} // namespace platform
