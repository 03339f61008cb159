// The main window: layout, start-up, the level check, the ROT commands and AutoRot.
#include <QAccessible>
#include <QCheckBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>

#include "messagerecorder.h"
#include "platform/fonts.h"
#include "ui/frmMain.h"
#include "ui/rottextbox.h"
#include "ui/wordlistholder.h"
#include "windowfixture.h"
#include "wordlist_reference.h"

using platform::Message;
using platform::MessageIcon;

Q_DECLARE_METATYPE(MessageIcon)

namespace
{
const QString kMissingList = QStringLiteral(
    "The file \"wordlist.txt\" was not found.\r\n\r\nYou will not be able to use AutoRot until you create "
    "this "
    "file and restart the program.  This file is included in the download available from quindle.org");
}

class TestFrmMain : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startsReady();
    void windowIcon_data();
    void windowIcon();
    void captions_data();
    void captions();
    void geometryInTwips_data();
    void geometryInTwips();
    void tabOrderFollowsTable();
    void keysPressFocusedButton_data();
    void keysPressFocusedButton();
    void accessibleNames_data();
    void accessibleNames();
    void refusals_data();
    void refusals();
    void conversions_data();
    void conversions();
    void commandLeavesNoSelectionAndUndoes();
    void missingWordListDisablesAutoRot();
    void unreadableWordListDisablesAutoRot_data();
    void unreadableWordListDisablesAutoRot();
    void wordListEntriesLoaded();
    void autoRot_data();
    void autoRot();
    void autoRotWritesEveryStepAndUndoesAtOnce();

private:
    WindowFixture window_;
};

void TestFrmMain::initTestCase()
{
    // Built twice: with the shipped Tahoma stand-in, and with whatever font the system offers.
#ifdef QUINDLE_REGISTER_FONTS
    if (!platform::CanHaveTahoma())
        QSKIP("needs Tahoma, or Wine's copy of it (Debian: fonts-wine)");
    platform::RegisterFonts();
    QCOMPARE(QFontInfo(platform::UiFont()).family(), QStringLiteral("Tahoma"));
#endif
}

void TestFrmMain::init()
{
    OPEN_WINDOW(window_, window_.writeWordList("hello\nworld\n"));
    window_.window->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.window.get()));
}

void TestFrmMain::cleanup()
{
    window_.close();
}

void TestFrmMain::startsReady()
{
    QCOMPARE(window_.window->windowTitle(), QStringLiteral("Quindle - https://quindle.org"));
    // Screen readers find a top-level window by this role.
    QCOMPARE(QAccessible::queryAccessibleInterface(window_.window.get())->role(), QAccessible::Window);
    QVERIFY(!window_.ui.cmdCopy->isEnabled());
    for (const QPushButton *button :
        {window_.ui.cmdPaste, window_.ui.cmdToRot, window_.ui.cmdFromRot, window_.ui.cmdAutoRot})
        QVERIFY2(button->isEnabled(), qPrintable(button->objectName()));
    QCOMPARE(window_.ui.txtRotLvl->text(), QStringLiteral("13"));
    QVERIFY(window_.ui.txtRot->text().isEmpty());
    QCOMPARE(QApplication::focusWidget(), window_.ui.txtRot);
    QVERIFY(!window_.ui.chkFixedFont->isChecked());
    QCOMPARE(window_.window->minimumSize(), window_.window->maximumSize());
    for (const QPushButton *button : {window_.ui.cmdToRot, window_.ui.cmdFromRot, window_.ui.cmdAutoRot,
             window_.ui.cmdCopy, window_.ui.cmdPaste})
        QVERIFY2(!button->isDefault() && !button->autoDefault(), qPrintable(button->objectName()));
    QVERIFY(window_.ui.txtRot->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOff);
    QCOMPARE(window_.ui.txtRot->lineWrapMode(), QPlainTextEdit::WidgetWidth);
}

void TestFrmMain::windowIcon_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("resource");
    QTest::newRow("16") << 16 << ":/icons/quindle-16.png";
    QTest::newRow("32") << 32 << ":/icons/quindle-32.png";
}

void TestFrmMain::windowIcon()
{
    QFETCH(int, size);
    QFETCH(QString, resource);
    const QIcon icon = window_.window->windowIcon();
    QVERIFY(icon.availableSizes().contains(QSize(size, size)));
    const QImage expected = QImage(resource).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QVERIFY(!expected.isNull());
    const QImage got = icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(got, expected);
}

void TestFrmMain::captions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::newRow("check box") << "chkFixedFont"
                               << "Fixed width font";
    QTest::newRow("rot frame ends in a space") << "fraRot"
                                               << "ROT: ";
    QTest::newRow("auto rot") << "cmdAutoRot"
                              << "AutoRot";
    QTest::newRow("from rot") << "cmdFromRot"
                              << "From ROT";
    QTest::newRow("to rot") << "cmdToRot"
                            << "To ROT";
    QTest::newRow("label") << "lblRotLvl"
                           << "ROT level:";
    QTest::newRow("clipboard frame ends in a space") << "fraClipboard"
                                                     << "Clipboard: ";
    QTest::newRow("copy has two stops") << "cmdCopy"
                                        << "Copy to..";
    QTest::newRow("paste has two stops") << "cmdPaste"
                                         << "Paste from..";
}

void TestFrmMain::captions()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QWidget *widget;
    FIND_CONTROL(widget, *window_.window, name);
    QString text;
    if (auto *b = qobject_cast<QAbstractButton *>(widget))
        text = b->text();
    else if (auto *g = qobject_cast<QGroupBox *>(widget))
        text = g->title();
    else if (auto *l = qobject_cast<QLabel *>(widget))
        text = l->text();
    QCOMPARE(text, caption);
    // Every drawn pixel of the caption lies on the control it sits on, beside the box of a check box. The
    // ink, not the advance: a bold colon's blank right side may pass the edge unseen.
    int needed = QFontMetrics(widget->font()).boundingRect(caption).right() + 1;
    if (qobject_cast<QCheckBox *>(widget))
        needed += widget->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, widget)
            + widget->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, widget);
    QVERIFY2(needed <= widget->width(), qPrintable(QStringLiteral("%1 needs %2 px").arg(name).arg(needed)));
}

void TestFrmMain::geometryInTwips_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");
    QTest::newRow("txtRot") << "txtRot" << QRect(60, 60, 7080, 2655);
    QTest::newRow("chkFixedFont") << "chkFixedFont" << QRect(120, 2760, 1515, 255);
    QTest::newRow("fraRot") << "fraRot" << QRect(4080, 2820, 3015, 1815);
    QTest::newRow("cmdAutoRot") << "cmdAutoRot" << QRect(1680, 1320, 1215, 375);
    QTest::newRow("txtRotLvl") << "txtRotLvl" << QRect(420, 660, 615, 285);
    QTest::newRow("cmdFromRot") << "cmdFromRot" << QRect(1680, 720, 1215, 375);
    QTest::newRow("cmdToRot") << "cmdToRot" << QRect(1680, 240, 1215, 375);
    QTest::newRow("lblRotLvl") << "lblRotLvl" << QRect(300, 420, 855, 255);
    QTest::newRow("fraClipboard") << "fraClipboard" << QRect(2460, 2820, 1455, 1815);
    QTest::newRow("cmdCopy") << "cmdCopy" << QRect(120, 540, 1215, 375);
    QTest::newRow("cmdPaste") << "cmdPaste" << QRect(120, 1020, 1215, 375);
    QTest::newRow("window") << "frmMain" << QRect(0, 0, 7200, 4680);
}

void TestFrmMain::geometryInTwips()
{
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    QWidget *widget = window_.window.get();
    if (name != QLatin1String("frmMain"))
        FIND_CONTROL(widget, *window_.window, name);
    const QRect expected(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15);
    if (widget == window_.window.get())
        QCOMPARE(widget->size(), expected.size());
    else
        QCOMPARE(widget->geometry(), expected);
}

void TestFrmMain::tabOrderFollowsTable()
{
    window_.ui.txtRot->replaceAll(QStringLiteral("abc"));
    window_.ui.txtRot->selectAll();
    QVERIFY(window_.ui.cmdCopy->isEnabled());
    const QStringList expected = {QStringLiteral("chkFixedFont"), QStringLiteral("cmdAutoRot"),
        QStringLiteral("txtRotLvl"), QStringLiteral("cmdFromRot"), QStringLiteral("cmdToRot"),
        QStringLiteral("cmdCopy"), QStringLiteral("cmdPaste"), QStringLiteral("txtRot")};
    QStringList seen;
    for (int i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        seen << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(seen, expected);
}

void TestFrmMain::keysPressFocusedButton_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("pressed");
    QTest::newRow("enter presses the button")
        << "cmdToRot" << int(Qt::Key_Return) << Qt::KeyboardModifiers() << true;
    QTest::newRow("keypad enter presses the button")
        << "cmdToRot" << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier) << true;
    QTest::newRow("space presses the button")
        << "cmdToRot" << int(Qt::Key_Space) << Qt::KeyboardModifiers() << true;
    QTest::newRow("enter in the level box presses no default")
        << "txtRotLvl" << int(Qt::Key_Return) << Qt::KeyboardModifiers() << false;
}

void TestFrmMain::keysPressFocusedButton()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, pressed);
    QWidget *widget;
    FIND_CONTROL(widget, *window_.window, focus);
    window_.ui.txtRot->replaceAll(QStringLiteral("abc"));
    int clicks = 0;
    for (QPushButton *button : {window_.ui.cmdToRot, window_.ui.cmdFromRot, window_.ui.cmdAutoRot,
             window_.ui.cmdCopy, window_.ui.cmdPaste})
        connect(button, &QPushButton::clicked, widget, [&clicks] { ++clicks; });
    widget->setFocus();
    QTest::keyClick(widget, Qt::Key(key), modifiers);
    QCOMPARE(clicks, pressed ? 1 : 0);
    QCOMPARE(window_.ui.txtRot->text(), pressed ? QStringLiteral("nop") : QStringLiteral("abc"));
}

void TestFrmMain::accessibleNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("accessibleName");
    QTest::addColumn<bool>("described");
    QTest::newRow("text box") << "txtRot"
                              << "Text" << false;
    QTest::newRow("level box named by its label") << "txtRotLvl"
                                                  << "ROT level:" << false;
    QTest::newRow("check box") << "chkFixedFont"
                               << "Fixed width font" << false;
    QTest::newRow("to rot") << "cmdToRot"
                            << "To ROT" << true;
    QTest::newRow("from rot") << "cmdFromRot"
                              << "From ROT" << true;
    QTest::newRow("auto rot") << "cmdAutoRot"
                              << "AutoRot" << true;
    QTest::newRow("copy") << "cmdCopy"
                          << "Copy to.." << true;
    QTest::newRow("paste") << "cmdPaste"
                           << "Paste from.." << true;
}

void TestFrmMain::accessibleNames()
{
    QFETCH(QString, name);
    QFETCH(QString, accessibleName);
    QFETCH(bool, described);
    QWidget *widget;
    FIND_CONTROL(widget, *window_.window, name);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
    QVERIFY(accessible);
    QCOMPARE(accessible->text(QAccessible::Name), accessibleName);
    QCOMPARE(!accessible->text(QAccessible::Description).isEmpty(), described);
}

void TestFrmMain::refusals_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("level");
    QTest::addColumn<QString>("message");
    const QString empty = QStringLiteral("It often helps if you enter something to ROT");
    const QString noLevel = QStringLiteral("It often helps if you enter the ROT level you want to use");
    const QString notNumeric
        = QStringLiteral("ROT levels are numeric.  Please enter something numeric and try again.");
    const QString range = QStringLiteral("ROT levels should be between 0 and 26");
    QTest::newRow("empty text, good level") << ""
                                            << "13" << empty;
    QTest::newRow("empty text beats empty level") << ""
                                                  << "" << empty;
    QTest::newRow("empty level") << "abc"
                                 << "" << noLevel;
    QTest::newRow("letters") << "abc"
                             << "abc" << notNumeric;
    QTest::newRow("space only") << "abc"
                                << " " << notNumeric;
    QTest::newRow("exponent") << "abc"
                              << "1e999" << notNumeric;
    QTest::newRow("hex") << "abc"
                         << "0x1A" << notNumeric;
    QTest::newRow("arabic-indic digit") << "abc"
                                        << "\u0663" << notNumeric;
    QTest::newRow("27") << "abc"
                        << "27" << range;
    QTest::newRow("-1") << "abc"
                        << "-1" << range;
    QTest::newRow("huge") << "abc" << QString(10000, QLatin1Char('9')) << range;
}

void TestFrmMain::refusals()
{
    QFETCH(QString, text);
    QFETCH(QString, level);
    QFETCH(QString, message);
    window_.ui.txtRot->replaceAll(text);
    window_.ui.txtRotLvl->setText(level);
    for (QPushButton *command : {window_.ui.cmdToRot, window_.ui.cmdFromRot}) {
        MessageRecorder recorder;
        QTest::mouseClick(command, Qt::LeftButton);
        QCOMPARE(recorder.messages.size(), std::size_t(1));
        QCOMPARE(recorder.messages[0].title, QStringLiteral("Duh!"));
        QCOMPARE(recorder.messages[0].text, message);
        QCOMPARE(recorder.messages[0].icon, MessageIcon::Information);
        QCOMPARE(window_.ui.txtRot->text(), text);
        QCOMPARE(window_.ui.txtRotLvl->text(), level);
    }
}

void TestFrmMain::conversions_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("level");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("encode 13") << "cmdToRot"
                               << "13"
                               << "Hello"
                               << "Uryyb";
    QTest::newRow("decode 13") << "cmdFromRot"
                               << "13"
                               << "Uryyb"
                               << "Hello";
    QTest::newRow("encode 0 keeps") << "cmdToRot"
                                    << "0"
                                    << "Hello"
                                    << "Hello";
    QTest::newRow("decode 0 keeps") << "cmdFromRot"
                                    << "0"
                                    << "Hello"
                                    << "Hello";
    QTest::newRow("encode 1") << "cmdToRot"
                              << "1"
                              << "abc"
                              << "bcd";
    QTest::newRow("decode 1") << "cmdFromRot"
                              << "1"
                              << "bcd"
                              << "abc";
    QTest::newRow("encode 26.9 acts as 1") << "cmdToRot"
                                           << "26.9"
                                           << "xyz"
                                           << "yza";
    QTest::newRow("decode 26.9 acts as 25") << "cmdFromRot"
                                            << "26.9"
                                            << "yza"
                                            << "xyz";
    QTest::newRow("encode 25.5 rounds to 26") << "cmdToRot"
                                              << "25.5"
                                              << "abc"
                                              << "abc";
    QTest::newRow("decode 0.5 rounds to 26") << "cmdFromRot"
                                             << "0.5"
                                             << "abc"
                                             << "abc";
    QTest::newRow("line breaks and symbols kept") << "cmdToRot"
                                                  << "2"
                                                  << "Ab1 ?\r\nZz"
                                                  << "Cd1 ?\r\nBb";
    QTest::newRow("spaces only") << "cmdToRot"
                                 << "13"
                                 << "   "
                                 << "   ";
}

void TestFrmMain::conversions()
{
    QFETCH(QString, command);
    QFETCH(QString, level);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    window_.ui.txtRot->replaceAll(text);
    window_.ui.txtRotLvl->setText(level);
    QPushButton *button;
    FIND_CONTROL(button, *window_.window, command);
    MessageRecorder recorder;
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(recorder.messages.empty());
    QCOMPARE(window_.ui.txtRot->text(), expected);
    QCOMPARE(window_.ui.txtRotLvl->text(), level);
}

void TestFrmMain::commandLeavesNoSelectionAndUndoes()
{
    window_.ui.txtRot->replaceAll(QStringLiteral("Hello World"));
    window_.ui.txtRot->selectAll();
    QVERIFY(window_.ui.cmdCopy->isEnabled());
    window_.ui.txtRot->setFocus();
    QSignalSpy changes(window_.ui.txtRot, &QPlainTextEdit::textChanged);
    // A keyboard shortcut or a script clicks without taking the focus; the command itself leaves it alone.
    window_.ui.cmdToRot->click();
    QCOMPARE(changes.count(), 1);
    QCOMPARE(window_.ui.txtRot->text(), QStringLiteral("Uryyb Jbeyq"));
    QCOMPARE(window_.ui.txtRot->selectionLength(), 0);
    QCOMPARE(window_.ui.txtRot->textCursor().position(), 0);
    QVERIFY(!window_.ui.cmdCopy->isEnabled());
    QCOMPARE(QApplication::focusWidget(), window_.ui.txtRot);
    QTest::keyClick(window_.ui.txtRot, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(window_.ui.txtRot->text(), QStringLiteral("Hello World"));
}

void TestFrmMain::missingWordListDisablesAutoRot()
{
    MessageRecorder recorder;
    OPEN_WINDOW(window_, window_.filePath(QStringLiteral("missing/wordlist.txt")));
    QCOMPARE(recorder.messages.size(), std::size_t(1));
    QCOMPARE(recorder.messages[0].title, QStringLiteral("Error!"));
    QCOMPARE(recorder.messages[0].text, kMissingList);
    QCOMPARE(recorder.messages[0].icon, MessageIcon::Critical);
    QVERIFY(!window_.ui.cmdAutoRot->isEnabled());
    QVERIFY(window_.ui.cmdToRot->isEnabled());
}

void TestFrmMain::unreadableWordListDisablesAutoRot_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("directory") << "directory";
    QTest::newRow("fifo") << "fifo";
}

void TestFrmMain::unreadableWordListDisablesAutoRot()
{
    QFETCH(QString, kind);
    const QString path = window_.filePath(kind + QStringLiteral("/wordlist.txt"));
    QVERIFY(QDir().mkpath(kind == QLatin1String("directory") ? path : QFileInfo(path).path()));
    if (kind == QLatin1String("fifo")) {
#ifdef Q_OS_WIN
        QSKIP("Windows has no fifos");
#endif
        QCOMPARE(::system(qPrintable(QStringLiteral("mkfifo '%1'").arg(path))), 0);
    }
    MessageRecorder recorder;
    OPEN_WINDOW(window_, path);
    QCOMPARE(recorder.messages.size(), std::size_t(1));
    QCOMPARE(recorder.messages[0].title, QStringLiteral("Error!"));
    QCOMPARE(recorder.messages[0].icon, MessageIcon::Critical);
    QVERIFY(recorder.messages[0].text.contains(path));
    QVERIFY(!window_.ui.cmdAutoRot->isEnabled());
}

void TestFrmMain::wordListEntriesLoaded()
{
    OPEN_WINDOW(
        window_, window_.writeWordList("#comment\r\n  #x\r\n\r\n   \r\nThe\r\nthe\r\n\tTab\r\nthe\r\n"));
    const auto &items = window_.ui.lstWords->items();
    const std::vector<std::u16string> expected = {u"  #x", u"The", u"the", u"\tTab", u"the"};
    QVERIFY(reference::Items(items) == expected);
}

void TestFrmMain::autoRot_data()
{
    QTest::addColumn<QByteArray>("wordList");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");
    QTest::addColumn<MessageIcon>("icon");
    QTest::addColumn<QString>("result");
    const QString success = QStringLiteral("Success!");
    const auto found = [](int level, int matches) {
        return QStringLiteral("AutoRot suspects that this text was ciphered with ROT level %1.\r\n\r\n"
                              "AutoRot found %2 word matches within this ROT level.")
            .arg(level)
            .arg(matches);
    };
    const QString error = QStringLiteral("Error");
    QTest::newRow("hello world at 13") << QByteArray("hello\nworld\n") << "Uryyb Jbeyq" << success
                                       << found(13, 2) << MessageIcon::Information << "Hello World";
    QTest::newRow("case ignored both sides")
        << QByteArray("HELLO\n") << "uryyb" << success << found(13, 1) << MessageIcon::Information << "hello";
    QTest::newRow("no letters reports 25 and keeps text")
        << QByteArray("1\n") << "123 !!" << success << found(25, 1) << MessageIcon::Information << "123 !!";
    QTest::newRow("clear text reports 0") << QByteArray("hello\nworld\n") << "hello world" << success
                                          << found(0, 2) << MessageIcon::Information << "hello world";
    QTest::newRow("tie keeps the earlier step")
        << QByteArray("ab\nbc\n") << "ab" << success << found(25, 1) << MessageIcon::Information << "bc";
    QTest::newRow("duplicates count twice") << QByteArray("hello\nhello\n") << "uryyb" << success
                                            << found(13, 2) << MessageIcon::Information << "hello";
    QTest::newRow("substring inside a word")
        << QByteArray("the\n") << "gurbel" << success << found(13, 1) << MessageIcon::Information << "theory";
    QTest::newRow("spaces in an entry count")
        << QByteArray(" the \n") << "bathe gur" << error << "Couldn't AutoRot this text, sorry."
        << MessageIcon::Exclamation << "bathe gur";
    QTest::newRow("empty word list") << QByteArray("# nothing\n") << "Uryyb" << error
                                     << "Couldn't AutoRot this text, sorry." << MessageIcon::Exclamation
                                     << "Uryyb";
    QTest::newRow("empty text") << QByteArray("hello\n") << "" << error
                                << "It helps if you type something to AutoRot.." << MessageIcon::Exclamation
                                << "";
}

void TestFrmMain::autoRot()
{
    QFETCH(QByteArray, wordList);
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(QString, message);
    QFETCH(MessageIcon, icon);
    QFETCH(QString, result);
    OPEN_WINDOW(window_, window_.writeWordList(wordList));
    window_.window->show();
    window_.ui.txtRot->replaceAll(text);
    // The box still holds the starting text while the result is reported.
    MessageRecorder recorder([this, text](const Message &) { QCOMPARE(window_.ui.txtRot->text(), text); });
    QTest::mouseClick(window_.ui.cmdAutoRot, Qt::LeftButton);
    QCOMPARE(recorder.messages.size(), std::size_t(1));
    QCOMPARE(recorder.messages[0].title, title);
    QCOMPARE(recorder.messages[0].text, message);
    QCOMPARE(recorder.messages[0].icon, icon);
    QCOMPARE(window_.ui.txtRot->text(), result);
    QCOMPARE(window_.ui.txtRotLvl->text(), QStringLiteral("13"));
}

void TestFrmMain::autoRotWritesEveryStepAndUndoesAtOnce()
{
    window_.ui.txtRot->replaceAll(QStringLiteral("Uryyb Jbeyq"));
    window_.ui.txtRot->selectAll();
    QSignalSpy changes(window_.ui.txtRot, &QPlainTextEdit::textChanged);
    MessageRecorder recorder;
    QTest::mouseClick(window_.ui.cmdAutoRot, Qt::LeftButton);
    QCOMPARE(changes.count(), 27);
    QCOMPARE(window_.ui.txtRot->text(), QStringLiteral("Hello World"));
    QCOMPARE(window_.ui.txtRot->selectionLength(), 0);
    QVERIFY(!window_.ui.cmdCopy->isEnabled());
    window_.ui.txtRot->undo();
    QCOMPARE(window_.ui.txtRot->text(), QStringLiteral("Uryyb Jbeyq"));
}

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
