// The window's fonts: Tahoma where it can be had, a fitting stand-in elsewhere, and the fixed-width choice.
#pragma once

#include <QFont>
#include <QString>

namespace platform
{

// Makes Tahoma available from a known metric-compatible copy when the system lacks it.
void RegisterFonts();
// Whether Tahoma is installed or its metric-compatible copy is there for RegisterFonts().
bool CanHaveTahoma();

// A caption that must fit the width the layout gives it.
struct Caption {
    QString text;
    int widthTwips = 0;
    bool bold = false;
};

// Tahoma 8.25 pt regular, or a stand-in family shrunk until the layout's tightest caption fits.
QFont UiFont(const Caption &tightest = {});
// The family the text box switches to for "Fixed width font", at the given size.
QFont FixedWidthFont(const QFont &current);
// The proportional family at 8 pt, for switching the fixed-width font off.
QFont ProportionalFont();

} // namespace platform
