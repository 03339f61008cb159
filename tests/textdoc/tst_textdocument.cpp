// The text box's document with no widget: every edit, undo and redo against plain models, the bursts of
// deleting keys, and the history's budget.
#include <QRandomGenerator>
#include <QTest>

#include "documentdriver.h"
#include "seeds.h"
#include "textdoc/textdocument.h"

using namespace Qt::StringLiterals;

namespace
{
constexpr qsizetype kStepBytes = qsizetype(sizeof(EditHistory::Step));
} // namespace

class TestTextDocument : public QObject
{
    Q_OBJECT

private slots:
    void randomEditsUndoExactly_data();
    void randomEditsUndoExactly();
    void deletingBurstIsOneStep_data();
    void deletingBurstIsOneStep();
    void newestStepKeptPastBudget();
    void historyForgetsOldestPastBudget();
    void redoReachesNewestPastBudget();
};

void TestTextDocument::randomEditsUndoExactly_data()
{
    QTest::addColumn<qsizetype>("chunk");
    QTest::newRow("whole paragraphs") << TextDocument::kParagraphChunk;
    // Joints everywhere but in the shortest paragraphs.
    QTest::newRow("pieces of 8 units") << qsizetype(8);
}

void TestTextDocument::randomEditsUndoExactly()
{
    QFETCH(qsizetype, chunk);
    ForEachSeed(
        [chunk](quint32 seed) {
            QRandomGenerator random(seed);
            DocumentDriver driver(chunk);
            for (int action = 0; action < 1000; ++action) {
                const char *broken
                    = driver.act([&](qsizetype n) { return qsizetype(random.bounded(int(n))); });
                QVERIFY2(!broken, qPrintable(u"action %1: %2"_s.arg(action).arg(QLatin1String(broken))));
            }
        },
        &QTest::currentTestFailed);
}

void TestTextDocument::deletingBurstIsOneStep_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<bool>("backspace");
    // How many positions each key removes.
    QTest::addColumn<QList<int>>("removals");
    QTest::newRow("backspace over a surrogate pair")
        << u"ab\U0001F600cd"_s << 6 << true << QList {1, 1, 2, 1, 1};
    QTest::newRow("delete over a CR LF and a surrogate pair")
        << u"a\r\nb\U0001F600c"_s << 1 << false << QList {1, 1, 2, 1};
    QTest::newRow("backspace over CR LF breaks") << u"\r\n\r\nz"_s << 3 << true << QList {1, 1, 1};
}

void TestTextDocument::deletingBurstIsOneStep()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(bool, backspace);
    QFETCH(QList<int>, removals);
    TextDocument document(qsizetype(1) << 20);
    document.replaceAll(text, false);
    for (const int removed : removals) {
        caret -= backspace ? removed : 0;
        document.caretMoved(Position(backspace ? caret + removed : caret), false);
        document.userChanged(Position(caret), removed, QStringView(), true);
    }
    const QString deleted = document.text();
    document.undo();
    QCOMPARE(document.text(), text);
    document.redo();
    QCOMPARE(document.text(), deleted);
}

void TestTextDocument::newestStepKeptPastBudget()
{
    // Selecting a text bigger than the budget and deleting it can still be undone, and so can its paste.
    TextDocument document(1000);
    const QString text(4000, u'x');
    document.replace(Position(0), Position(0), text);
    document.replace(Position(0), Position(text.size()), QString());
    QVERIFY(document.historyBytes() <= 1000 + kStepBytes + text.size() * 2);
    document.undo();
    QCOMPARE(document.text(), text);
    document.undo();
    QCOMPARE(document.text(), QString());
    document.redo();
    document.redo();
    QCOMPARE(document.text(), QString());
}

void TestTextDocument::historyForgetsOldestPastBudget()
{
    TextDocument document(2000);
    for (const char letter : {'a', 'b', 'c'})
        document.replaceAll(QString(1000, QLatin1Char(letter)), false);
    // The budget bounds all but the newest step, which holds the 1000 units it replaced.
    QVERIFY(document.historyBytes() <= 2000 + kStepBytes + 2000);
    document.undo();
    QCOMPARE(document.text(), QString(1000, QLatin1Char('b')));
    QVERIFY(!document.canUndo());
    document.redo();
    QCOMPARE(document.text(), QString(1000, QLatin1Char('c')));
}

void TestTextDocument::redoReachesNewestPastBudget()
{
    TextDocument document(5000);
    for (const char letter : {'a', 'b', 'c'})
        document.replaceAll(QString(1000, QLatin1Char(letter)), false);
    // Undoing all puts each text in a redo step, past the budget; none of them may be forgotten.
    while (document.canUndo())
        document.undo();
    QCOMPARE(document.text(), QString());
    while (document.canRedo())
        document.redo();
    QCOMPARE(document.text(), QString(1000, QLatin1Char('c')));
}

QTEST_APPLESS_MAIN(TestTextDocument)
#include "tst_textdocument.moc"
