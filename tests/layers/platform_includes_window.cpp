// Compiles only where the window's header can be seen, which the platform layer must never do.
#include "ui/frmMain.h"

int Probe()
{
    return sizeof(frmMain);
}
