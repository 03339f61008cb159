// Builds the main window over a word list in a temporary folder and finds its controls by name.
#pragma once

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <type_traits>

#include "ui/frmMain.h"
#include "ui/rottextbox.h"
#include "ui/wordlistholder.h"

// The child of `parent` called `name`; when there is none of that type, fails the running test at the
// caller's line and gives nullptr, so a wrong name is a failed test rather than a crash.
template <typename T> T *FindControl(const QObject &parent, const QString &name, const char *file, int line)
{
    T *found = parent.findChild<T *>(name);
    if (!found)
        QTest::qFail(
            qPrintable(QStringLiteral("no control \"%1\" of the type asked for").arg(name)), file, line);
    return found;
}

template <typename T> T *FindControl(const QObject &parent, const char *name, const char *file, int line)
{
    return FindControl<T>(parent, QLatin1String(name), file, line);
}

// Sets `target` to the control of `parent` called `name`, or fails the test and leaves the (void) function.
#define FIND_CONTROL(target, parent, name)                                                                   \
    do {                                                                                                     \
        (target) = FindControl<std::remove_pointer_t<decltype(target)>>(parent, name, __FILE__, __LINE__);   \
        if (!(target))                                                                                       \
            return;                                                                                          \
    } while (false)

// Selects from `anchor` to `position` in the box, as a drag or Shift and the arrow keys would.
inline void Select(RotTextBox *box, int anchor, int position)
{
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
}

// The controls the tests drive, named as in the window.
struct Controls {
    RotTextBox *txtRot = nullptr;
    QLineEdit *txtRotLvl = nullptr;
    QCheckBox *chkFixedFont = nullptr;
    WordListHolder *lstWords = nullptr;
    QPushButton *cmdToRot = nullptr;
    QPushButton *cmdFromRot = nullptr;
    QPushButton *cmdAutoRot = nullptr;
    QPushButton *cmdCopy = nullptr;
    QPushButton *cmdPaste = nullptr;
};

class WindowFixture
{
public:
    // The path of the word-list file, rewritten to hold `bytes`.
    QString writeWordList(const QByteArray &bytes)
    {
        QFile file(filePath(QStringLiteral("wordlist.txt")));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            qFatal("cannot write the word list");
        return file.fileName();
    }
    QString filePath(const QString &name) const { return dir_.filePath(name); }

    // Replaces the window with one reading `wordListPath`; false once a missing control has failed the test.
    [[nodiscard]] bool open(const QString &wordListPath, const char *file, int line)
    {
        ui = {};
        window = std::make_unique<frmMain>(wordListPath);
        const auto find = [&](auto *&target, const char *name) {
            target = FindControl<std::remove_reference_t<decltype(*target)>>(*window, name, file, line);
            return target != nullptr;
        };
        return find(ui.txtRot, "txtRot") && find(ui.txtRotLvl, "txtRotLvl")
            && find(ui.chkFixedFont, "chkFixedFont") && find(ui.lstWords, "lstWords")
            && find(ui.cmdToRot, "cmdToRot") && find(ui.cmdFromRot, "cmdFromRot")
            && find(ui.cmdAutoRot, "cmdAutoRot") && find(ui.cmdCopy, "cmdCopy")
            && find(ui.cmdPaste, "cmdPaste");
    }
    void close()
    {
        ui = {};
        window.reset();
    }

    std::unique_ptr<frmMain> window;
    Controls ui;

private:
    QTemporaryDir dir_;
};

// Opens `fixture`'s window over `wordListPath`, or leaves the (void) test function that has just failed.
#define OPEN_WINDOW(fixture, wordListPath)                                                                   \
    do {                                                                                                     \
        if (!(fixture).open(wordListPath, __FILE__, __LINE__))                                               \
            return;                                                                                          \
    } while (false)
