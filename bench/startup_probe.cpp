// Starts like the program and says "painted" on stdout once its window is first painted, then exits at once.
// Built twice: as Quindle (the word list from argv[1]) and, with QUINDLE_BARE_WINDOW, as a bare Qt window
// holding one QPlainTextEdit, the yardstick for start-up.
#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

#ifdef QUINDLE_BARE_WINDOW
#include <QPlainTextEdit>
#else
#include "platform/fonts.h"
#include "ui/frmMain.h"
#endif

namespace
{

class FirstPaint final : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            // A zero timer runs once the paint that is under way has been flushed to the screen.
            QTimer::singleShot(0, [] {
                std::fputs("painted\n", stdout);
                std::fflush(stdout);
                std::_Exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool seen_ = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    FirstPaint probe;
    app.installEventFilter(&probe);
#ifdef QUINDLE_BARE_WINDOW
    QPlainTextEdit window;
#else
    QApplication::setApplicationName(QStringLiteral("Quindle"));
    QGuiApplication::setDesktopFileName(QStringLiteral("quindle"));
    platform::RegisterFonts();
    frmMain window(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(QUINDLE_WORDLIST));
#endif
    window.show();
    return QApplication::exec();
}
