// Preprocessed as the text box's document is, where a header of Qt's GUI module must be caught.
#include <QtGui/QTextDocument>

int Probe()
{
    return sizeof(QTextDocument);
}
