// Program entry: one window, then the event loop until it closes.
#include <QApplication>

#include "platform/fonts.h"
#include "ui/frmMain.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quindle"));
    QGuiApplication::setDesktopFileName(QStringLiteral("quindle"));
    platform::RegisterFonts();

    frmMain form;
    form.show();
    return QApplication::exec();
}
