// Program directory from the executable's real path.
#include "platform/paths.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace platform
{

QString ProgramDirectory()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).canonicalPath();
}

} // namespace platform
