// Joints are invisible to the hands: a box that shows its paragraphs in pieces of a few units answers
// every key exactly as a box that shows them whole.
#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QRandomGenerator>
#include <QTest>
#include <QTextBlock>

#include "seeds.h"
#include "ui/rottextbox.h"

using namespace Qt::StringLiterals;

class TestJoints : public QObject
{
    Q_OBJECT

private slots:
    void keys_data();
    void keys();
    void randomKeysActAsWithoutJoints();
    void randomKeysOverClustersAndDirections_data();
    void randomKeysOverClustersAndDirections();
    void piecesTakeTheirParagraphsDirection_data();
    void piecesTakeTheirParagraphsDirection();
    void clickAtPieceEndRestsAfterJoint();
    void upAndDownStepOneLine_data();
    void upAndDownStepOneLine();

private:
    void randomKeys(quint32 seed);
    void randomClusterKeys(quint32 seed, const QStringList &units, const QStringList &typed);
};

namespace
{

constexpr qsizetype kChunk = 8;

// The offset in the text of a document position, found by walking the document beside the text: a
// paragraph mark where the text has no break is a joint, and holds no unit. The near side of a joint
// counts as -1 where the caret must not rest.
qsizetype Offset(const RotTextBox &box, int position, bool caret)
{
    const QString text = box.text();
    qsizetype offset = 0;
    for (int p = 0; p <= position; ++p) {
        const bool mark = box.document()->characterAt(p) == QChar::ParagraphSeparator;
        const QChar unit = offset < text.size() ? text.at(offset) : QChar();
        const bool joint = mark && p < box.document()->characterCount() - 1
            && !(unit == u'\r' || unit == u'\n' || unit == QChar::ParagraphSeparator || unit == QChar(0xfdd0)
                || unit == QChar(0xfdd1));
        if (p == position)
            return joint && caret ? -1 : offset;
        if (!joint)
            offset += unit == u'\r' && offset + 1 < text.size() && text.at(offset + 1) == u'\n' ? 2 : 1;
    }
    return offset;
}

// The first document position at `offset` where the caret may rest.
int Position(const RotTextBox &box, qsizetype offset)
{
    int position = 0;
    while (position < box.document()->characterCount() - 1 && Offset(box, position, true) != offset)
        ++position;
    return position;
}

struct Boxes {
    Boxes()
    {
        pieces.setParagraphChunk(kChunk);
        for (RotTextBox *box : {&pieces, &whole}) {
            box->resize(300, 200);
            box->show();
        }
    }
    // Sends the same key to both boxes.
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(&pieces, key, modifiers);
        QTest::keyClick(&whole, key, modifiers);
    }
    // What a user sees and a screen reader hears of each box, naming the round if they differ.
    std::pair<QString, QString> perceived(quint32 seed, int round, int action);
    // Left and Right go a few times, as a user holding them would; other keys once or twice.
    void keys(Qt::Key key, Qt::KeyboardModifiers modifiers, QRandomGenerator &random)
    {
        for (int n = 1 + random.bounded(key == Qt::Key_Left || key == Qt::Key_Right ? 12 : 2); n > 0; --n)
            this->key(key, modifiers);
    }
    void type(const QString &text)
    {
        QTest::keyClicks(&pieces, text);
        QTest::keyClicks(&whole, text);
    }
    // Double-clicks, or triple-clicks, both boxes at the same offset of their text.
    void click(qsizetype offset, bool triple)
    {
        for (RotTextBox *box : {&pieces, &whole}) {
            QTextCursor cursor = box->textCursor();
            cursor.setPosition(Position(*box, offset));
            box->setTextCursor(cursor);
            box->ensureCursorVisible();
            QPoint at = box->cursorRect().center() + QPoint(1, 0);
            // Where the text is laid out otherwise, a tab just short of a tab stop can be narrower than that.
            if (box->cursorForPosition(at).position() != cursor.position())
                at -= QPoint(1, 0);
            QTest::mouseDClick(box->viewport(), Qt::LeftButton, {}, at);
            if (triple)
                QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, at);
        }
    }
    RotTextBox pieces;
    RotTextBox whole;
};

QString Caret(const RotTextBox &box)
{
    const QTextCursor cursor = box.textCursor();
    const bool caret = !cursor.hasSelection();
    return QStringLiteral("%1:%2")
        .arg(Offset(box, cursor.anchor(), caret))
        .arg(Offset(box, cursor.position(), caret));
}

// What a user sees of a box: its text, and where its selection or caret is.
QString Seen(const RotTextBox &box)
{
    return Caret(box) + u' ' + box.text();
}

// What a screen reader hears of a box: its text, the caret, the selection, and the characters, words,
// sentences and paragraphs at, before and after the caret. Lines may end early at a joint, and stay out.
QString Heard(RotTextBox &box)
{
    QAccessibleTextInterface *text = QAccessible::queryAccessibleInterface(&box)->textInterface();
    const int count = text->characterCount();
    const int caret = text->cursorPosition();
    int start = 0;
    int end = 0;
    text->selection(0, &start, &end);
    QString heard = u"%1 %2:%3 %4 |%5|"_s.arg(count).arg(start).arg(end).arg(caret).arg(text->text(0, count));
    for (const auto type : {QAccessible::CharBoundary, QAccessible::WordBoundary,
             QAccessible::SentenceBoundary, QAccessible::ParagraphBoundary}) {
        for (const auto read : {&QAccessibleTextInterface::textAtOffset,
                 &QAccessibleTextInterface::textBeforeOffset, &QAccessibleTextInterface::textAfterOffset}) {
            const QString said = (text->*read)(caret, type, &start, &end);
            heard += u" %1:%2|%3|"_s.arg(start).arg(end).arg(said);
        }
    }
    return heard;
}

std::pair<QString, QString> Boxes::perceived(quint32 seed, int round, int action)
{
    std::pair<QString, QString> both {Seen(pieces) + Heard(pieces), Seen(whole) + Heard(whole)};
    if (both.first != both.second)
        qWarning("seed %u, round %d, action %d", seed, round, action);
    return both;
}

int LongestPiece(const RotTextBox &box)
{
    int longest = 0;
    for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next())
        longest = std::max(longest, block.length() - 1);
    return longest;
}

} // namespace

void TestJoints::keys_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("keys");
    // Keys: < > Left and Right, { } Shift+Left and Shift+Right, ( ) Ctrl+Left and Ctrl+Right, B Backspace,
    // D Delete, W Ctrl+Backspace, E Enter, X Ctrl+X, Z Ctrl+Z; any other character is typed. The words
    // are cut into pieces after their spaces.
    const QString words = u"aaaa bbbb cccc dddd eeee ffff gggg hhhh iiii"_s;
    QTest::newRow("left and right") << words << 0 << u">>>>>>>>>><<<"_s;
    QTest::newRow("backspace over a joint") << words << 20 << u"BBBBBBBBBB"_s;
    QTest::newRow("delete over a joint") << words << 3 << u"DDDDDDDDDZ"_s;
    QTest::newRow("word moves") << words << 0 << u"))))))((("_s;
    QTest::newRow("word moves over pieces cut inside words")
        << u"abcdefghijklmnopqrstuvwxyzabcdefghij klmnopqrstuvwxyzabcdefgh ij"_s << 0 << u")))((()}}"_s;
    QTest::newRow("enter over a selection to a joint") << words << 2 << u"}}}E"_s;
    QTest::newRow("typing over a selection to a joint") << words << 2 << u"}}}k"_s;
    QTest::newRow("enter at a joint") << words << 5 << u"E"_s;
    QTest::newRow("typing at a joint") << words << 5 << u"k"_s;
    QTest::newRow("cut over a joint") << words << 2 << u"}}}}}X"_s;
    QTest::newRow("ctrl+backspace at a joint") << words << 10 << u"WW"_s;
    QTest::newRow("delete undone") << u"\u2029ab   cdefghkl kl mmefgh\r\n"_s << 17 << u"DDZ"_s;
}

void TestJoints::keys()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(QString, keys);
    Boxes boxes;
    boxes.pieces.replaceAll(text);
    boxes.whole.replaceAll(text);
    for (int i = 0; i < caret; ++i)
        boxes.key(Qt::Key_Right);
    QCOMPARE(Caret(boxes.pieces), Caret(boxes.whole));
    static const QHash<QChar, QPair<Qt::Key, Qt::KeyboardModifiers>> kKeys
        = {{u'<', {Qt::Key_Left, Qt::NoModifier}}, {u'>', {Qt::Key_Right, Qt::NoModifier}},
            {u'{', {Qt::Key_Left, Qt::ShiftModifier}}, {u'}', {Qt::Key_Right, Qt::ShiftModifier}},
            {u'(', {Qt::Key_Left, Qt::ControlModifier}}, {u')', {Qt::Key_Right, Qt::ControlModifier}},
            {u'B', {Qt::Key_Backspace, Qt::NoModifier}}, {u'D', {Qt::Key_Delete, Qt::NoModifier}},
            {u'W', {Qt::Key_Backspace, Qt::ControlModifier}}, {u'E', {Qt::Key_Return, Qt::NoModifier}},
            {u'X', {Qt::Key_X, Qt::ControlModifier}}, {u'Z', {Qt::Key_Z, Qt::ControlModifier}}};
    QVERIFY(boxes.pieces.document()->blockCount() > boxes.whole.document()->blockCount());
    for (const QChar key : keys) {
        if (const auto found = kKeys.find(key); found != kKeys.end())
            boxes.key(found->first, found->second);
        else
            boxes.type(key);
        QCOMPARE(boxes.pieces.text(), boxes.whole.text());
        QCOMPARE(Caret(boxes.pieces), Caret(boxes.whole));
    }
}

void TestJoints::randomKeysActAsWithoutJoints()
{
    ForEachSeed([this](quint32 seed) { randomKeys(seed); }, &QTest::currentTestFailed);
}

void TestJoints::randomKeys(quint32 seed)
{
    Boxes boxes;
    QRandomGenerator random(seed);
    const QStringList pieces = {QStringLiteral("ab "), QStringLiteral("cdefgh"), QStringLiteral(" "),
        QStringLiteral("x.y,"), QStringLiteral("\t"), QStringLiteral("\r\n"), QStringLiteral("\n"),
        QStringLiteral("\u2029"), QStringLiteral("\U0001F600"), QStringLiteral("xyzxyzxyzxyzxyzxyzxyz")};
    const auto randomText = [&] {
        QString text;
        for (int n = random.bounded(12); n > 0; --n)
            text += pieces[random.bounded(int(pieces.size()))];
        return text;
    };
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    } keys[] = {{Qt::Key_Left, Qt::NoModifier}, {Qt::Key_Right, Qt::NoModifier},
        {Qt::Key_Left, Qt::ShiftModifier}, {Qt::Key_Right, Qt::ShiftModifier},
        {Qt::Key_Backspace, Qt::NoModifier}, {Qt::Key_Delete, Qt::NoModifier},
        {Qt::Key_Return, Qt::NoModifier}, {Qt::Key_X, Qt::ControlModifier}, {Qt::Key_V, Qt::ControlModifier},
        {Qt::Key_Z, Qt::ControlModifier}, {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier},
        {Qt::Key_Home, Qt::ControlModifier}, {Qt::Key_End, Qt::ControlModifier},
        {Qt::Key_A, Qt::ControlModifier}, {Qt::Key_Left, Qt::ControlModifier},
        {Qt::Key_Right, Qt::ControlModifier}, {Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier},
        {Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier}, {Qt::Key_Backspace, Qt::ControlModifier},
        {Qt::Key_Delete, Qt::ControlModifier}};
    for (int round = 0; round < 300; ++round) {
        const int action = random.bounded(int(std::size(keys)) + 4);
        if (action == 3) {
            boxes.click(random.bounded(boxes.whole.text().size() + 1), random.bounded(2));
        } else if (action == 0) {
            boxes.type(QStringLiteral("kl m"));
        } else if (action == 1) {
            const QString text = randomText();
            boxes.pieces.replaceAll(text);
            boxes.whole.replaceAll(text);
        } else if (action == 2) {
            QGuiApplication::clipboard()->setText(randomText());
        } else {
            boxes.keys(keys[action - 4].key, keys[action - 4].modifiers, random);
        }
        const auto [inPieces, whole] = boxes.perceived(seed, round, action);
        QCOMPARE(inPieces, whole);
        QCOMPARE(boxes.pieces.canUndo(), boxes.whole.canUndo());
        QCOMPARE(boxes.pieces.canRedo(), boxes.whole.canRedo());
        QVERIFY(LongestPiece(boxes.pieces) <= 2 * kChunk);
    }
}

void TestJoints::randomKeysOverClustersAndDirections_data()
{
    QTest::addColumn<QStringList>("units");
    QTest::addColumn<QStringList>("typed");
    // Texts are runs of units after 0 to 7 letters, so that a piece's cut falls at every phase of them. Keys
    // type a letter, marks and joiners that join the cluster before them, and regional indicators that pair
    // anew. Qt's syllables for Indic scripts part a surrogate pair that stands before them in a paragraph
    // shown whole, so there no key types one.
    const QStringList typed = {u"k"_s, u"\u0301"_s, u"\u200d"_s, u"\U0001F1E9"_s, u"\u05d0"_s};
    QTest::newRow("marks, stacked marks, jamo") << QStringList {u"e\u0301"_s, u"a\u0306\u0301"_s,
        u"o\u031b\u0323"_s, u"\u1100\u1161\u11a8"_s, u"ab"_s}
                                                << typed;
    QTest::newRow("ZWJ sequences and flags") << QStringList {u"\U0001F468\u200d\U0001F469\u200d\U0001F467"_s,
        u"\U0001F1E9\U0001F1EA"_s, u"\U0001F1EB"_s, u"\U0001F44D\U0001F3FD"_s, u"x"_s}
                                             << typed;
    QTest::newRow("Indic conjuncts") << QStringList {u"\u0915\u094d\u0937\u093f"_s, u"\u0928\u094d"_s,
        u"\u0926\u0947"_s, u"\u0915"_s, u" "_s}
                                     << QStringList {u"k"_s, u"\u094d"_s, u"\u0937"_s, u"\u05d0"_s};
    QTest::newRow("right to left, then left to right") << QStringList {u"\u05e9\u05dc\u05d5\u05dd "_s,
        u"sump "_s, u"as "_s, u"12 "_s, u"\u0645\u0631\u062d\u0628\u0627"_s}
                                                       << typed;
}

void TestJoints::randomKeysOverClustersAndDirections()
{
    QFETCH(QStringList, units);
    QFETCH(QStringList, typed);
    ForEachSeed([&](quint32 seed) { randomClusterKeys(seed, units, typed); }, &QTest::currentTestFailed);
}

void TestJoints::randomClusterKeys(quint32 seed, const QStringList &units, const QStringList &typed)
{
    Boxes boxes;
    QRandomGenerator random(seed);
    QString text = QString(random.bounded(8), u'x');
    for (int n = 8 + random.bounded(24); n > 0; --n)
        text += units[random.bounded(int(units.size()))];
    boxes.pieces.replaceAll(text);
    boxes.whole.replaceAll(text);
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    } keys[]
        = {{Qt::Key_Left, Qt::NoModifier}, {Qt::Key_Right, Qt::NoModifier}, {Qt::Key_Left, Qt::ShiftModifier},
            {Qt::Key_Right, Qt::ShiftModifier}, {Qt::Key_Left, Qt::ControlModifier},
            {Qt::Key_Right, Qt::ControlModifier}, {Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier},
            {Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier}, {Qt::Key_Backspace, Qt::NoModifier},
            {Qt::Key_Delete, Qt::NoModifier}};
    for (int round = 0; round < 60; ++round) {
        const int action = random.bounded(int(std::size(keys)) + 2);
        if (action < 2) {
            const QString &what = typed[random.bounded(int(typed.size()))];
            for (RotTextBox *box : {&boxes.pieces, &boxes.whole}) {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, what);
                QApplication::sendEvent(box, &press);
            }
        } else {
            boxes.keys(keys[action - 2].key, keys[action - 2].modifiers, random);
        }
        const auto [inPieces, whole] = boxes.perceived(seed, round, action);
        QCOMPARE(inPieces, whole);
    }
}

void TestJoints::piecesTakeTheirParagraphsDirection_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Qt::LayoutDirection>("direction");
    // Pieces of 8 units start in both scripts; the first strong character of the whole paragraph decides.
    QTest::newRow("Hebrew, then English")
        << u"\u05e9\u05dc\u05d5\u05dd the quick brown fox jumps"_s << Qt::RightToLeft;
    QTest::newRow("English, then Hebrew")
        << u"the quick brown \u05e9\u05dc\u05d5\u05dd \u05e9\u05dc\u05d5\u05dd \u05e9\u05dc\u05d5\u05dd"_s
        << Qt::LeftToRight;
    QTest::newRow("digits, then Arabic")
        << u"1234567 89 1011 \u0645\u0631\u062d\u0628\u0627 abc"_s << Qt::RightToLeft;
    // The layout skips an isolate, as Qt does for a paragraph shown whole.
    QTest::newRow("an isolate first")
        << u"\u2067\u05e9\u05dc\u05d5\u05dd\u2069 the quick brown fox"_s << Qt::LeftToRight;
}

void TestJoints::piecesTakeTheirParagraphsDirection()
{
    QFETCH(QString, text);
    QFETCH(Qt::LayoutDirection, direction);
    Boxes boxes;
    boxes.pieces.replaceAll(text);
    boxes.whole.replaceAll(text);
    QVERIFY(boxes.pieces.document()->blockCount() > 2);
    const QTextBlock whole = boxes.whole.document()->begin();
    boxes.whole.document()->documentLayout()->blockBoundingRect(whole);
    QCOMPARE(whole.layout()->textOption().textDirection(), Qt::LayoutDirectionAuto);
    for (QTextBlock block = boxes.pieces.document()->begin(); block.isValid(); block = block.next()) {
        boxes.pieces.document()->documentLayout()->blockBoundingRect(block);
        QCOMPARE(block.layout()->textOption().textDirection(), direction);
        QCOMPARE(block.textDirection(), whole.textDirection());
    }
}

void TestJoints::clickAtPieceEndRestsAfterJoint()
{
    Boxes boxes;
    boxes.pieces.replaceAll(u"aaaa bbbb cccc dddd eeee ffff gggg hhhh iiii"_s);
    // Each piece is a paragraph of its own line: right of the first line's end is the joint's near side.
    const QRect line = boxes.pieces.cursorRect(QTextCursor(boxes.pieces.document()));
    QTest::mouseClick(boxes.pieces.viewport(), Qt::LeftButton, {},
        QPoint(boxes.pieces.viewport()->width() - 5, line.center().y()));
    QCOMPARE(Caret(boxes.pieces), u"5:5"_s);
    boxes.type(u"|"_s);
    QCOMPARE(boxes.pieces.text(), u"aaaa |bbbb cccc dddd eeee ffff gggg hhhh iiii"_s);
}

void TestJoints::upAndDownStepOneLine_data()
{
    QTest::addColumn<QString>("text");
    // Each piece is a line; the caret starts at the end of the longest and goes to the first line and back.
    QTest::newRow("short lines between long ones") << u"aaaaaaa b cccccccc dd eeeeeeeeeee f ggggggg"_s;
    QTest::newRow("one-unit lines") << u"aaaaaaaaaaaaaaa b c d e f g h i j kkkkkkkkkkkkk"_s;
    QTest::newRow("a surrogate pair at a line's end") << u"aaaaaaaa \U0001F600 bbbbbbbbbbbbbbbbbbbb"_s;
}

void TestJoints::upAndDownStepOneLine()
{
    QFETCH(QString, text);
    Boxes boxes;
    RotTextBox &box = boxes.pieces;
    box.replaceAll(text);
    QTextBlock longest = box.document()->begin();
    for (QTextBlock block = longest; block.isValid(); block = block.next())
        longest = block.length() > longest.length() ? block : longest;
    QTextCursor cursor(longest);
    cursor.movePosition(QTextCursor::EndOfBlock);
    box.setTextCursor(cursor);
    for (const Qt::Key key : {Qt::Key_Up, Qt::Key_Down}) {
        for (int line = box.textCursor().blockNumber();
             key == Qt::Key_Up ? line > 0 : line + 1 < box.blockCount();) {
            QTest::keyClick(&box, key);
            line += key == Qt::Key_Up ? -1 : 1;
            QCOMPARE(box.textCursor().blockNumber(), line);
            QVERIFY(!Caret(box).startsWith(u"-1"_s));
        }
    }
}

QTEST_MAIN(TestJoints)
#include "tst_joints.moc"
