// What the text box relies on in Qt beyond its documentation, so that a Qt that behaves otherwise fails here.
#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <memory>
#include <utility>

#include "textdoc/exacttext.h"
#include "ui/rottextbox.h"

using namespace Qt::StringLiterals;

namespace
{

// Paragraphs that ExactText expects of a document that took `text` as written.
int PredictedBlocks(QStringView text)
{
    const auto breaks = std::count_if(text.begin(), text.end(), &ExactText::isBreak);
    // Every breaking unit starts a paragraph, except the LF of a CR LF, which takes no position of its own.
    return int(1 + breaks - (text.size() - ExactText::positionsOf(text)));
}

// Paragraphs of a fresh document that took `text` through a cursor, as the box writes; its positions too.
int InsertedBlocks(const QString &text, int *positions = nullptr)
{
    QTextDocument document;
    QTextCursor(&document).insertText(text);
    if (positions)
        *positions = document.characterCount() - 1;
    return document.blockCount();
}

// Every paragraph of the box that is laid out is laid out as it stands, and the layout's line count is
// theirs.
void VerifyLaidOut(const QPlainTextEdit &box)
{
    qreal lines = 0;
    for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next()) {
        const QTextLayout *layout = block.layout();
        int laidOut = 0;
        for (int line = 0; line < layout->lineCount(); ++line)
            laidOut += layout->lineAt(line).textLength();
        // Qt lays a paragraph out when it is first shown; one laid out before a change must be again.
        QVERIFY2(layout->lineCount() == 0 || laidOut == block.length() - 1,
            qPrintable(u"paragraph %1 is laid out as it stood before"_s.arg(block.blockNumber())));
        lines += block.lineCount();
    }
    QCOMPARE(box.document()->documentLayout()->documentSize().height(), lines);
}

} // namespace

class TestToolkit : public QObject
{
    Q_OBJECT

private slots:
    void insertedBreaks_data();
    void insertedBreaks();
    void everyUnitBreaksAsPredicted();
    void standardMenuNamesUndoAndRedo_data();
    void standardMenuNamesUndoAndRedo();
    void writeFromContentsChange();
    void pausedLayoutLaysOutEveryChange();
    void dropLeavesNoDropCaret();
};

void TestToolkit::insertedBreaks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("blocks");
    QTest::newRow("cr before a letter splits alone") << u"a\rb"_s << 2;
    QTest::newRow("lf splits") << u"a\nb"_s << 2;
    QTest::newRow("cr lf is one break") << u"a\r\nb"_s << 2;
    QTest::newRow("lf cr is two breaks") << u"a\n\rb"_s << 3;
    QTest::newRow("cr then cr lf is two breaks") << u"a\r\r\nb"_s << 3;
    QTest::newRow("cr at the end splits") << u"a\r"_s << 2;
    QTest::newRow("paragraph separator splits") << u"a\u2029b"_s << 2;
    QTest::newRow("fdd0 splits") << u"a\ufdd0b"_s << 2;
    QTest::newRow("fdd1 splits") << u"a\ufdd1b"_s << 2;
    QTest::newRow("line separator does not split") << u"a\u2028b"_s << 1;
    QTest::newRow("vertical tab does not split") << u"a\vb"_s << 1;
    QTest::newRow("form feed does not split") << u"a\fb"_s << 1;
    QTest::newRow("next line does not split") << u"a\u0085b"_s << 1;
    QTest::newRow("fdd2 does not split") << u"a\ufdd2b"_s << 1;
    QTest::newRow("object replacement does not split") << u"a\ufffcb"_s << 1;
}

void TestToolkit::insertedBreaks()
{
    QFETCH(QString, text);
    QFETCH(int, blocks);
    int positions = 0;
    QCOMPARE(InsertedBlocks(text, &positions), blocks);
    QCOMPARE(PredictedBlocks(text), blocks);
    QCOMPARE(positions, ExactText::positionsOf(text));
}

void TestToolkit::everyUnitBreaksAsPredicted()
{
    QString differing;
    for (char32_t unit = 0; unit <= 0xffff; ++unit) {
        const QChar c {char16_t(unit)};
        if (c.isSurrogate())
            continue;
        if ((InsertedBlocks(u"a"_s + c + u'b') > 1) != ExactText::isBreak(c))
            differing += u" U+%1"_s.arg(uint(unit), 4, 16, QLatin1Char('0'));
    }
    QVERIFY2(
        differing.isEmpty(), qPrintable(u"Qt splits otherwise than ExactText::isBreak at"_s + differing));
}

void TestToolkit::standardMenuNamesUndoAndRedo_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("undoFirst");
    QTest::addColumn<QString>("after");
    QTest::newRow("edit-undo undoes") << u"edit-undo"_s << false << QString();
    QTest::newRow("edit-redo redoes") << u"edit-redo"_s << true << u"x"_s;
}

// The box finds the menu's own Undo and Redo by these names to put its own in their place.
void TestToolkit::standardMenuNamesUndoAndRedo()
{
    QFETCH(QString, name);
    QFETCH(bool, undoFirst);
    QFETCH(QString, after);
    QPlainTextEdit edit;
    edit.insertPlainText(u"x"_s);
    if (undoFirst)
        edit.undo();
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu(QPoint()));
    const QList<QAction *> actions = menu->findChildren<QAction *>(name);
    QCOMPARE(actions.size(), 1);
    actions.first()->trigger();
    QCOMPARE(edit.toPlainText(), after);
}

// The box puts a long paragraph's joints in from its contentsChange slot, while Qt is still finishing the
// user's own edit: Qt must keep both, leave its caret past the typed key, and lay out both.
void TestToolkit::writeFromContentsChange()
{
    QPlainTextEdit box;
    box.document()->setUndoRedoEnabled(false);
    box.setPlainText(u"abcdefgh"_s);
    box.resize(300, 200);
    box.show();
    QTextCursor caret(box.document());
    caret.setPosition(6);
    box.setTextCursor(caret);
    bool writing = false;
    connect(box.document(), &QTextDocument::contentsChange, &box, [&] {
        if (std::exchange(writing, true))
            return;
        QTextCursor joint(box.document());
        joint.setPosition(3);
        joint.insertText(QString(QChar::ParagraphSeparator));
        writing = false;
    });
    QTest::keyClick(&box, Qt::Key_X);
    QCOMPARE(box.document()->toRawText(), u"abc\u2029defxgh"_s);
    QCOMPARE(box.textCursor().position(), 8);
    VerifyLaidOut(box);
}

// DeferredLayout hands Qt's layout one range that takes in every change made under a pause, with the
// document's length when the pause began; Qt must lay out all that changed from it.
void TestToolkit::pausedLayoutLaysOutEveryChange()
{
    RotTextBox box;
    box.resize(300, 200);
    box.show();
    box.replaceAll(u"one\ntwo\nthree\nfour\nfive "_s.repeated(20));
    VerifyLaidOut(box);
    {
        const RotTextBox::LayoutPause pause(&box);
        box.moveCursor(QTextCursor::Start);
        box.replaceSelection(u"start "_s);
        box.moveCursor(QTextCursor::End);
        box.replaceSelection(u" end"_s.repeated(40));
    }
    VerifyLaidOut(box);
}

// The box writes a drop itself and has Qt take away the caret it draws where a drag would drop, by
// handing it a drag leave: a Qt that keeps that caret through a drag leave leaves it painted.
void TestToolkit::dropLeavesNoDropCaret()
{
    RotTextBox dropped;
    RotTextBox written;
    for (RotTextBox *box : {&dropped, &written}) {
        box->resize(300, 100);
        box->show();
        box->replaceAll(u"abc def"_s);
    }
    QTextCursor at(dropped.document());
    at.setPosition(3);
    const QPoint point = dropped.cursorRect(at).center();
    QMimeData mime;
    mime.setText(u"xyz"_s);
    QDragEnterEvent enter(point, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(dropped.viewport(), &enter);
    QDragMoveEvent move(point, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(dropped.viewport(), &move);
    QDropEvent drop(QPointF(point), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(dropped.viewport(), &drop);
    QTextCursor same(written.document());
    same.setPosition(3);
    written.setTextCursor(same);
    written.replaceSelection(u"xyz"_s);
    QCOMPARE(dropped.text(), written.text());
    QCOMPARE(dropped.viewport()->grab().toImage(), written.viewport()->grab().toImage());
}

QTEST_MAIN(TestToolkit)
#include "tst_toolkit.moc"
