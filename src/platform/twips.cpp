// The screen resolution that twips convert at.
#include "platform/twips.h"

#include <QGuiApplication>
#include <QScreen>

namespace platform
{

qreal ScreenDpi()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() : kDefaultDpi;
}

} // namespace platform
