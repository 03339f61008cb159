// Font lookup over QFontDatabase.
#include "platform/fonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>

#include "platform/twips.h"

namespace platform
{

namespace
{
const QString kTahoma = QStringLiteral("Tahoma");
const QString kCourier = QStringLiteral("Courier");

// Wine's Tahoma has Tahoma's metrics, so every caption fits the layout as designed. Its bold face is
// barely heavier than the regular one, so bold is left to the font engine to draw.
const QString kTahomaFile = QStringLiteral("/usr/share/wine/fonts/tahoma.ttf");

QString ProportionalFamily()
{
    if (QFontDatabase::hasFamily(kTahoma))
        return kTahoma;
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}
} // namespace

void RegisterFonts()
{
    if (QFontDatabase::hasFamily(kTahoma))
        return;
    if (QFile::exists(kTahomaFile))
        QFontDatabase::addApplicationFont(kTahomaFile);
}

bool CanHaveTahoma()
{
    return QFontDatabase::hasFamily(kTahoma) || QFile::exists(kTahomaFile);
}

QFont UiFont(const Caption &tightest)
{
    QFont font(ProportionalFamily());
    font.setPointSizeF(8.25);
    font.setWeight(QFont::Normal);
    if (font.family() == kTahoma || tightest.text.isEmpty())
        return font;
    // Laid out on whole pixels, a caption can take up to a pixel more than its exact advance (50.08 px
    // becomes 51), so one pixel stays spare: 15 twips at 96 dpi.
    const int room = TwipsToPixels(tightest.widthTwips, ScreenDpi()) - 1;
    for (;;) {
        QFont measured = font;
        measured.setBold(tightest.bold);
        if (QFontMetricsF(measured).horizontalAdvance(tightest.text) <= room || font.pointSizeF() <= 6.0)
            return font;
        font.setPointSizeF(font.pointSizeF() - 0.25);
    }
}

QFont FixedWidthFont(const QFont &current)
{
    // Font configuration maps Courier to a metric-compatible clone where one is installed; the hint
    // falls back to the system's monospace family where none is.
    QFont font(kCourier);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(current.pointSizeF());
    return font;
}

QFont ProportionalFont()
{
    QFont font(ProportionalFamily());
    // Deliberately 8 pt, not the 8.25 pt the box starts with: unchecking the toggle sets a whole point size.
    font.setPointSize(8);
    return font;
}

} // namespace platform
