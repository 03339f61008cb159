// Compiles only where Qt's headers can be seen, which the core must never do.
#include <QString>

QString Probe()
{
    return QString();
}
