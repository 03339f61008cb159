// Compiles only where Qt's widgets can be seen, which the text box's document must never do.
#include <QWidget>

int Probe()
{
    return sizeof(QWidget);
}
