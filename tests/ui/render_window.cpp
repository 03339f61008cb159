// Renders the main window, as it first appears, to a PNG so a person can check the layout.
#include <cstdio>

#include <QApplication>
#include <QPixmap>

#include "platform/fonts.h"
#include "ui/frmMain.h"

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: render_window OUTPUT.png [WORDLIST]\n");
        return 2;
    }
    QApplication app(argc, argv);
    platform::RegisterFonts();
    frmMain form(argc > 2 ? QString::fromLocal8Bit(argv[2]) : modFunctions::WordListPath());
    form.show();
    QApplication::processEvents();
    return form.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
