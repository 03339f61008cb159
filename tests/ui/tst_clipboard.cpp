// Copy button state, Copy and Paste through the clipboard, and the fixed-width font toggle.
#include <QCheckBox>
#include <QClipboard>
#include <QFontMetrics>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "platform/fonts.h"
#include "ui/frmMain.h"
#include "ui/rottextbox.h"

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
    RotTextBox *txtRot() const { return form_->findChild<RotTextBox *>(QStringLiteral("txtRot")); }
    QPushButton *button(const char *name) const
    {
        return form_->findChild<QPushButton *>(QLatin1String(name));
    }
    void select(int anchor, int position);

    QTemporaryDir dir_;
    std::unique_ptr<frmMain> form_;
};

void TestClipboard::initTestCase()
{
    platform::RegisterFonts();
    QFile list(dir_.filePath(QStringLiteral("wordlist.txt")));
    QVERIFY(list.open(QIODevice::WriteOnly));
    list.write("hello\n");
}

void TestClipboard::init()
{
    form_ = std::make_unique<frmMain>(dir_.filePath(QStringLiteral("wordlist.txt")));
    form_->show();
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    QGuiApplication::clipboard()->clear();
}

void TestClipboard::cleanup()
{
    form_.reset();
}

void TestClipboard::select(int anchor, int position)
{
    QTextCursor cursor = txtRot()->textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    txtRot()->setTextCursor(cursor);
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
    txtRot()->replaceAll(QStringLiteral("Hello World"));
    txtRot()->setFocus();
    QWidget *viewport = txtRot()->viewport();
    const QPoint start = txtRot()->cursorRect(QTextCursor(txtRot()->document())).center();
    if (action == QLatin1String("shift+right")) {
        QTest::keyClick(txtRot(), Qt::Key_Right, Qt::ShiftModifier);
    } else if (action == QLatin1String("drag")) {
        QTest::mousePress(viewport, Qt::LeftButton, {}, start);
        QMouseEvent move(QEvent::MouseMove, start + QPoint(40, 0),
            viewport->mapToGlobal(start + QPoint(40, 0)), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, start + QPoint(40, 0));
    } else if (action == QLatin1String("click")) {
        select(0, 5);
        QTest::mouseClick(viewport, Qt::LeftButton, {}, start + QPoint(20, 0));
    } else if (action == QLatin1String("selectAll")) {
        txtRot()->selectAll();
    } else if (action == QLatin1String("typeOver")) {
        select(0, 5);
        QTest::keyClicks(txtRot(), QStringLiteral("x"));
    } else if (action == QLatin1String("toRot")) {
        select(0, 5);
        button("cmdToRot")->click();
    } else if (action == QLatin1String("paste")) {
        QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
        select(0, 5);
        button("cmdPaste")->click();
    }
    QCOMPARE(button("cmdCopy")->isEnabled(), enabled);
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
    txtRot()->replaceAll(text);
    select(anchor, position);
    QTest::mouseClick(button("cmdCopy"), Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), copied);
    QCOMPARE(QApplication::focusWidget(), txtRot());
    QCOMPARE(txtRot()->text(), text);
    QVERIFY(button("cmdCopy")->isEnabled());
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
    txtRot()->replaceAll(QStringLiteral("Hello World"));
    select(anchor, position);
    txtRot()->setFocus();
    QGuiApplication::clipboard()->setText(clipboard);
    QTest::mouseClick(button("cmdPaste"), Qt::LeftButton);
    QCOMPARE(txtRot()->text(), expected);
    QCOMPARE(txtRot()->selectionLength(), 0);
    QVERIFY(!button("cmdCopy")->isEnabled());
    // Paste does not take the focus back: the button keeps what the click gave it.
    QCOMPARE(QApplication::focusWidget(), button("cmdPaste"));
    txtRot()->undo();
    QCOMPARE(txtRot()->text(), QStringLiteral("Hello World"));
}

void TestClipboard::pasteTakesOnlyPlainText()
{
    txtRot()->replaceAll(QStringLiteral("x"));
    auto *mime = new QMimeData;
    mime->setHtml(QStringLiteral("<b>bold</b>"));
    mime->setText(QStringLiteral("plain"));
    QGuiApplication::clipboard()->setMimeData(mime);
    button("cmdPaste")->click();
    QCOMPARE(txtRot()->text(), QStringLiteral("plainx"));

    auto *image = new QMimeData;
    image->setImageData(QImage(4, 4, QImage::Format_RGB32));
    QGuiApplication::clipboard()->setMimeData(image);
    button("cmdPaste")->click();
    QCOMPARE(txtRot()->text(), QStringLiteral("plainx"));
}

void TestClipboard::editorShortcutsKeepWorking()
{
    txtRot()->replaceAll(QStringLiteral("a\r\nb"));
    txtRot()->setFocus();
    QTest::keyClick(txtRot(), Qt::Key_A, Qt::ControlModifier);
    QVERIFY(button("cmdCopy")->isEnabled());
    QTest::keyClick(txtRot(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("a\r\nb"));
    QTest::keyClick(txtRot(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(txtRot(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(txtRot()->text(), QStringLiteral("a\r\nba\r\nb"));
    QTest::keyClick(txtRot(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(txtRot()->text(), QStringLiteral("a\r\nb"));
}

void TestClipboard::fontToggle()
{
    auto *check = form_->findChild<QCheckBox *>(QStringLiteral("chkFixedFont"));
    const QFont initial = txtRot()->font();
    QCOMPARE(initial.pointSizeF(), 8.25);

    QTest::mouseClick(check, Qt::LeftButton);
    QVERIFY(check->isChecked());
    QCOMPARE(txtRot()->font().family(), QStringLiteral("Courier"));
    const QFontMetrics fixed(txtRot()->font());
    QCOMPARE(fixed.horizontalAdvance(QLatin1Char('i')), fixed.horizontalAdvance(QLatin1Char('W')));
    QCOMPARE(txtRot()->font().pointSizeF(), 8.25);
    QCOMPARE(QApplication::focusWidget(), txtRot());

    QTest::mouseClick(check, Qt::LeftButton);
    QVERIFY(!check->isChecked());
    QCOMPARE(txtRot()->font().family(), initial.family());
    QCOMPARE(txtRot()->font().pointSizeF(), 8.0);
    QCOMPARE(QApplication::focusWidget(), txtRot());
}

QTEST_MAIN(TestClipboard)
#include "tst_clipboard.moc"
