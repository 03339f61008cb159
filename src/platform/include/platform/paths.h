// Where the program lives, so it can find files installed beside it.
#pragma once

#include <QString>

namespace platform
{

// The folder of the running executable, with links resolved.
QString ProgramDirectory();

} // namespace platform
