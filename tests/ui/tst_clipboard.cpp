// Copy button state, Copy and Paste through the clipboard, and the fixed-width font toggle.
#include <QAccessible>
#include <QCheckBox>
#include <QClipboard>
#include <QFontMetrics>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

#include "platform/fonts.h"
#include "ui/rottextbox.h"
#include "windowfixture.h"

class TestClipboard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void copyButtonFollowsSelection_data();
    void copyButtonFollowsSelection();
    void copyPutsExactSelectionOnClipboard_data();
    void copyPutsExactSelectionOnClipboard();
    void paste_data();
    void paste();
    void pasteTakesOnlyPlainText();
    void editorShortcutsKeepWorking();
    void fontToggle();

private:
    WindowFixture window_;
};

void TestClipboard::initTestCase()
{
    platform::RegisterFonts();
}

void TestClipboard::init()
{
    OPEN_WINDOW(window_, window_.writeWordList("hello\n"));
    window_.window->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.window.get()));
    QGuiApplication::clipboard()->clear();
}

void TestClipboard::cleanup()
{
    window_.close();
}

void TestClipboard::copyButtonFollowsSelection_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("shift and arrow") << "shift+right" << true;
    QTest::newRow("mouse drag") << "drag" << true;
    QTest::newRow("click without drag") << "click" << false;
    QTest::newRow("select all from code or menu") << "selectAll" << true;
    QTest::newRow("typing over a selection") << "typeOver" << false;
    QTest::newRow("to rot after selecting") << "toRot" << false;
    QTest::newRow("paste over a selection") << "paste" << false;
}

void TestClipboard::copyButtonFollowsSelection()
{
    QFETCH(QString, action);
    QFETCH(bool, enabled);
    window_.ui.txtRot->replaceAll(QStringLiteral("Hello World"));
    window_.ui.txtRot->setFocus();
    QWidget *viewport = window_.ui.txtRot->viewport();
    const QPoint start = window_.ui.txtRot->cursorRect(QTextCursor(window_.ui.txtRot->document())).center();
    if (action == QLatin1String("shift+right")) {
        QTest::keyClick(window_.ui.txtRot, Qt::Key_Right, Qt::ShiftModifier);
    } else if (action == QLatin1String("drag")) {
        QTest::mousePress(viewport, Qt::LeftButton, {}, start);
        QMouseEvent move(QEvent::MouseMove, start + QPoint(40, 0),
            viewport->mapToGlobal(start + QPoint(40, 0)), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, start + QPoint(40, 0));
    } else if (action == QLatin1String("click")) {
        Select(window_.ui.txtRot, 0, 5);
        QTest::mouseClick(viewport, Qt::LeftButton, {}, start + QPoint(20, 0));
    } else if (action == QLatin1String("selectAll")) {
        window_.ui.txtRot->selectAll();
    } else if (action == QLatin1String("typeOver")) {
        Select(window_.ui.txtRot, 0, 5);
        QTest::keyClicks(window_.ui.txtRot, QStringLiteral("x"));
    } else if (action == QLatin1String("toRot")) {
        Select(window_.ui.txtRot, 0, 5);
        window_.ui.cmdToRot->click();
    } else if (action == QLatin1String("paste")) {
        QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
        Select(window_.ui.txtRot, 0, 5);
        window_.ui.cmdPaste->click();
    }
    QCOMPARE(window_.ui.cmdCopy->isEnabled(), enabled);
}

void TestClipboard::copyPutsExactSelectionOnClipboard_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("copied");
    QTest::newRow("one character") << "Hello" << 1 << 2 << "e";
    QTest::newRow("backwards selection") << "Hello" << 4 << 1 << "ell";
    QTest::newRow("across CR LF") << "one\r\ntwo\r\nthree" << 2 << 9 << "e\r\ntwo\r\nt";
    QTest::newRow("across LF") << "one\ntwo" << 0 << 7 << "one\ntwo";
    QTest::newRow("no-break space kept") << "a\u00a0b" << 0 << 3 << "a\u00a0b";
}

void TestClipboard::copyPutsExactSelectionOnClipboard()
{
    QFETCH(QString, text);
    QFETCH(int, anchor);
    QFETCH(int, position);
    QFETCH(QString, copied);
    window_.ui.txtRot->replaceAll(text);
    Select(window_.ui.txtRot, anchor, position);
    QTest::mouseClick(window_.ui.cmdCopy, Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), copied);
    QCOMPARE(QApplication::focusWidget(), window_.ui.txtRot);
    QCOMPARE(window_.ui.txtRot->text(), text);
    QVERIFY(window_.ui.cmdCopy->isEnabled());
}

void TestClipboard::paste_data()
{
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("expected");
    QTest::newRow("over a selection") << 0 << 5 << "Howdy"
                                      << "Howdy World";
    QTest::newRow("at the caret") << 5 << 5 << ","
                                  << "Hello, World";
    QTest::newRow("empty clipboard deletes selection") << 5 << 11 << ""
                                                       << "Hello";
    QTest::newRow("line breaks kept") << 11 << 11 << "\r\nnext\rline"
                                      << "Hello World\r\nnext\rline";
}

void TestClipboard::paste()
{
    QFETCH(int, anchor);
    QFETCH(int, position);
    QFETCH(QString, clipboard);
    QFETCH(QString, expected);
    window_.ui.txtRot->replaceAll(QStringLiteral("Hello World"));
    Select(window_.ui.txtRot, anchor, position);
    window_.ui.txtRot->setFocus();
    QGuiApplication::clipboard()->setText(clipboard);
    QTest::mouseClick(window_.ui.cmdPaste, Qt::LeftButton);
    QCOMPARE(window_.ui.txtRot->text(), expected);
    QCOMPARE(window_.ui.txtRot->selectionLength(), 0);
    QVERIFY(!window_.ui.cmdCopy->isEnabled());
    // Paste does not take the focus back: the button keeps what the click gave it.
    QCOMPARE(QApplication::focusWidget(), window_.ui.cmdPaste);
    window_.ui.txtRot->undo();
    QCOMPARE(window_.ui.txtRot->text(), QStringLiteral("Hello World"));
}

void TestClipboard::pasteTakesOnlyPlainText()
{
    window_.ui.txtRot->replaceAll(QStringLiteral("x"));
    auto *mime = new QMimeData;
    mime->setHtml(QStringLiteral("<b>bold</b>"));
    mime->setText(QStringLiteral("plain"));
    QGuiApplication::clipboard()->setMimeData(mime);
    window_.ui.cmdPaste->click();
    QCOMPARE(window_.ui.txtRot->text(), QStringLiteral("plainx"));

    auto *image = new QMimeData;
    image->setImageData(QImage(4, 4, QImage::Format_RGB32));
    QGuiApplication::clipboard()->setMimeData(image);
    window_.ui.cmdPaste->click();
    QCOMPARE(window_.ui.txtRot->text(), QStringLiteral("plainx"));
}

void TestClipboard::editorShortcutsKeepWorking()
{
    window_.ui.txtRot->replaceAll(QStringLiteral("a\r\nb"));
    window_.ui.txtRot->setFocus();
    QTest::keyClick(window_.ui.txtRot, Qt::Key_A, Qt::ControlModifier);
    QVERIFY(window_.ui.cmdCopy->isEnabled());
    QTest::keyClick(window_.ui.txtRot, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("a\r\nb"));
    QTest::keyClick(window_.ui.txtRot, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(window_.ui.txtRot, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(window_.ui.txtRot->text(), QStringLiteral("a\r\nba\r\nb"));
    QTest::keyClick(window_.ui.txtRot, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(window_.ui.txtRot->text(), QStringLiteral("a\r\nb"));
}

void TestClipboard::fontToggle()
{
    QCheckBox *check = window_.ui.chkFixedFont;
    const QFont initial = window_.ui.txtRot->font();
    QCOMPARE(initial.pointSizeF(), 8.25);

    QTest::mouseClick(check, Qt::LeftButton);
    QVERIFY(check->isChecked());
    QCOMPARE(window_.ui.txtRot->font().family(), QStringLiteral("Courier"));
    const QFontMetrics fixed(window_.ui.txtRot->font());
    QCOMPARE(fixed.horizontalAdvance(QLatin1Char('i')), fixed.horizontalAdvance(QLatin1Char('W')));
    QCOMPARE(window_.ui.txtRot->font().pointSizeF(), 8.25);
    QCOMPARE(QApplication::focusWidget(), window_.ui.txtRot);

    QTest::mouseClick(check, Qt::LeftButton);
    QVERIFY(!check->isChecked());
    QCOMPARE(window_.ui.txtRot->font().family(), initial.family());
    QCOMPARE(window_.ui.txtRot->font().pointSizeF(), 8.0);
    QCOMPARE(QApplication::focusWidget(), window_.ui.txtRot);

    // A screen reader toggles the box through its accessible action, which clicks nothing.
    QAccessible::queryAccessibleInterface(check)->actionInterface()->doAction(
        QAccessibleActionInterface::toggleAction());
    QVERIFY(check->isChecked());
    QCOMPARE(window_.ui.txtRot->font().family(), QStringLiteral("Courier"));
}

QTEST_MAIN(TestClipboard)
#include "tst_clipboard.moc"
