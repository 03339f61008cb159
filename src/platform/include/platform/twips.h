// Twips, the layout's unit of 1/1440 inch, in pixels at the screen's resolution.
#pragma once

#include <QtGlobal>

namespace platform
{

inline constexpr qreal kTwipsPerInch = 1440.0;
// What Qt assumes when there is no screen to ask.
inline constexpr qreal kDefaultDpi = 96.0;

// The primary screen's logical dots per inch, or the default where there is no screen.
qreal ScreenDpi();

inline int TwipsToPixels(int twips, qreal dpi)
{
    return qRound(twips * dpi / kTwipsPerInch);
}

} // namespace platform
