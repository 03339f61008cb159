// The working text box gives back exactly what was written, wraps fast, and keeps commands undoable.
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include "positionsmodel.h"
#include "seeds.h"
#include "ui/rottextbox.h"

class TestRotTextBox : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void randomTextsRoundTrip();
    void selectionAcrossBreaksKeepsThem();
    void replaceAllLeavesCaretAtStartAsOneUndoStep();
    void replaceSelection_data();
    void replaceSelection();
    void joinedWritesUndoTogether();
    void pausedWritesStillRaiseChanges();
    void wrapModeFollowsLongestWord_data();
    void wrapModeFollowsLongestWord();
    void dropsOnlyText();
};

void TestRotTextBox::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("crlf") << QStringLiteral("a\r\nb\r\n");
    QTest::newRow("lone cr and lf") << QStringLiteral("a\rb\nc\r\r\n\n");
    QTest::newRow("only breaks") << QStringLiteral("\r\n\r\n\n\r");
    QTest::newRow("no-break space") << QStringLiteral("a\u00a0b");
    QTest::newRow("line and paragraph separators") << QStringLiteral("a\u2028b\u2029c");
    QTest::newRow("frame markers") << QStringLiteral("a\ufdd0b\ufdd1c");
    QTest::newRow("nul") << QString(QChar(0)) + QStringLiteral("a") + QChar(0);
    QTest::newRow("lone surrogates") << QString(QChar(0xd800)) + QStringLiteral("x") + QChar(0xdc00);
    QTest::newRow("emoji") << QStringLiteral("hi \U0001F600 there");
    QTest::newRow("right to left") << QStringLiteral(
        "abc \u05e9\u05dc\u05d5\u05dd \u0645\u0631\u062d\u0628\u0627");
    QTest::newRow("tabs") << QStringLiteral("a\tb\t");
}

void TestRotTextBox::roundTrip()
{
    QFETCH(QString, text);
    RotTextBox box;
    box.replaceAll(QStringLiteral("old\r\ntext"));
    box.replaceAll(text);
    QCOMPARE(box.text(), text);
    box.selectAll();
    QCOMPARE(box.selectedText(), text);
}

void TestRotTextBox::randomTextsRoundTrip()
{
    const char16_t units[]
        = {u'a', u'Z', u' ', u'\r', u'\n', 0x2028, 0x2029, 0xfdd0, 0xfdd1, 0x00a0, 0, 0xd800, 0xdc00};
    RotTextBox box;
    const auto roundTrips = [&](quint32 seed) {
        QRandomGenerator random(seed);
        for (int round = 0; round < 30; ++round) {
            QString text;
            const int length = random.bounded(40);
            for (int i = 0; i < length; ++i)
                text += QChar(units[random.bounded(int(std::size(units)))]);
            box.replaceAll(text);
            QCOMPARE(box.text(), text);
            // A paste into the middle keeps both its own breaks and the ones around it.
            const QStringList positions = PositionsModel::Split(text);
            const int middle = int(positions.size() / 2);
            QTextCursor cursor = box.textCursor();
            cursor.setPosition(middle);
            box.setTextCursor(cursor);
            box.replaceSelection(text);
            QCOMPARE(box.text(),
                positions.mid(0, middle).join(QString()) + text + positions.mid(middle).join(QString()));
        }
    };
    ForEachSeed(roundTrips, &QTest::currentTestFailed);
}

void TestRotTextBox::selectionAcrossBreaksKeepsThem()
{
    RotTextBox box;
    box.replaceAll(QStringLiteral("one\r\ntwo\rthree"));
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(2);
    cursor.setPosition(10, QTextCursor::KeepAnchor);
    box.setTextCursor(cursor);
    QCOMPARE(box.selectedText(), QStringLiteral("e\r\ntwo\rth"));
    QCOMPARE(box.selectionLength(), 8);
}

void TestRotTextBox::replaceAllLeavesCaretAtStartAsOneUndoStep()
{
    RotTextBox box;
    box.replaceAll(QStringLiteral("first"));
    box.selectAll();
    QSignalSpy changes(&box, &QPlainTextEdit::textChanged);
    box.replaceAll(QStringLiteral("second\r\nline"));
    QCOMPARE(changes.count(), 1);
    QCOMPARE(box.selectionLength(), 0);
    QCOMPARE(box.textCursor().position(), 0);
    box.undo();
    QCOMPARE(box.text(), QStringLiteral("first"));
}

void TestRotTextBox::replaceSelection_data()
{
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("insert");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("caret");
    QTest::newRow("at caret") << 3 << 3 << QStringLiteral("XY") << QStringLiteral("abcXYdef") << 5;
    QTest::newRow("over selection") << 1 << 4 << QStringLiteral("Z") << QStringLiteral("aZef") << 2;
    QTest::newRow("backwards selection") << 4 << 1 << QStringLiteral("Z") << QStringLiteral("aZef") << 2;
    QTest::newRow("nothing deletes selection") << 0 << 6 << QString() << QString() << 0;
    QTest::newRow("line break inserted")
        << 3 << 3 << QStringLiteral("\r\n") << QStringLiteral("abc\r\ndef") << 4;
}

void TestRotTextBox::replaceSelection()
{
    QFETCH(int, anchor);
    QFETCH(int, position);
    QFETCH(QString, insert);
    QFETCH(QString, expected);
    QFETCH(int, caret);
    RotTextBox box;
    box.replaceAll(QStringLiteral("abcdef"));
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    box.setTextCursor(cursor);
    box.replaceSelection(insert);
    QCOMPARE(box.text(), expected);
    QCOMPARE(box.selectionLength(), 0);
    QCOMPARE(box.textCursor().position(), caret);
    box.undo();
    QCOMPARE(box.text(), QStringLiteral("abcdef"));
}

void TestRotTextBox::joinedWritesUndoTogether()
{
    RotTextBox box;
    box.replaceAll(QStringLiteral("start"));
    {
        const RotTextBox::EditGroup group(&box);
        box.replaceAll(QStringLiteral("one"));
        box.replaceAll(QStringLiteral("two"));
        box.replaceAll(QStringLiteral("three"));
    }
    box.undo();
    QCOMPARE(box.text(), QStringLiteral("start"));
}

void TestRotTextBox::pausedWritesStillRaiseChanges()
{
    RotTextBox box;
    box.resize(300, 100);
    box.show();
    QSignalSpy changes(&box, &QPlainTextEdit::textChanged);
    {
        const RotTextBox::LayoutPause pause(&box);
        for (int i = 0; i < 5; ++i)
            box.replaceAll(QString(2000 * (i + 1), QLatin1Char('x')) + QStringLiteral(" end"));
        QCOMPARE(changes.count(), 5);
    }
    QCOMPARE(box.text().size(), 10004);
    QApplication::processEvents();
    // The layout caught up: the document is now many lines tall, not the one line it was before.
    QVERIFY(box.document()->documentLayout()->documentSize().height() > 10);
}

void TestRotTextBox::wrapModeFollowsLongestWord_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("anywhere");
    QTest::newRow("prose") << QStringLiteral("the quick brown fox ").repeated(500) << false;
    QTest::newRow("run at the limit") << QString(1000, QLatin1Char('a')) + QStringLiteral(" b") << false;
    QTest::newRow("run past the limit") << QStringLiteral("a ") + QString(1001, QLatin1Char('a')) << true;
    QTest::newRow("runs split by lines")
        << (QString(900, QLatin1Char('a')) + QStringLiteral("\n")).repeated(5) << false;
}

void TestRotTextBox::wrapModeFollowsLongestWord()
{
    QFETCH(QString, text);
    QFETCH(bool, anywhere);
    RotTextBox box;
    box.replaceAll(text);
    QCOMPARE(box.wordWrapMode() == QTextOption::WrapAnywhere, anywhere);
    box.replaceAll(QStringLiteral("short words again"));
    QCOMPARE(box.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
}

void TestRotTextBox::dropsOnlyText()
{
    RotTextBox box;
    box.resize(200, 100);
    const auto drop = [&box](const QMimeData &mime) {
        // Qt hands a drop only to a widget that a drag has entered.
        QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box.viewport(), &enter);
        QDropEvent event(QPointF(1, 1), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box.viewport(), &event);
    };
    QMimeData file;
    file.setUrls({QUrl::fromLocalFile(QStringLiteral("/etc/passwd"))});
    drop(file);
    QCOMPARE(box.text(), QString());
    QMimeData text;
    text.setText(QStringLiteral("dropped\r\ntext"));
    drop(text);
    QCOMPARE(box.text(), QStringLiteral("dropped\r\ntext"));
}

QTEST_MAIN(TestRotTextBox)
#include "tst_rottextbox.moc"
