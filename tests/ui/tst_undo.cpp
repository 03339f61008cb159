// Undo and redo give back exactly the texts the box held, through every kind of change, key and menu.
#include <QAction>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMetaEnum>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>

#include <memory>

#include "messagerecorder.h"
#include "positionsmodel.h"
#include "rot/rot.h"
#include "seeds.h"
#include "ui/rottextbox.h"
#include "ui/textconv.h"
#include "windowfixture.h"

using namespace Qt::StringLiterals;

namespace
{
// The plain model: every text the box has held, and which one it holds now.
struct Model {
    QStringList texts {QString()};
    qsizetype current = 0;

    const QString &text() const { return texts.at(current); }
    void change(const QString &text)
    {
        if (text == this->text())
            return;
        texts.resize(++current);
        texts += text;
    }
    void undo() { current = std::max<qsizetype>(current - 1, 0); }
    void redo() { current = std::min(current + 1, texts.size() - 1); }
};
} // namespace

class TestUndo : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void steps_data();
    void steps();
    void contextMenuFollowsHistory();
    void randomEditsUndoExactly();

private:
    void run(const QString &action);
    void randomEdits(quint32 seed);

    WindowFixture window_;
    MessageRecorder recorder_;
};

void TestUndo::init()
{
    OPEN_WINDOW(window_, window_.writeWordList("hello\nworld\n"));
    window_.window->show();
    window_.ui.txtRot->setFocus();
}

void TestUndo::cleanup()
{
    window_.close();
}

void TestUndo::run(const QString &action)
{
    if (action.startsWith(QLatin1String("paste:"))) {
        QGuiApplication::clipboard()->setText(action.mid(6));
        window_.ui.cmdPaste->click();
    } else if (action.startsWith(QLatin1String("type:"))) {
        QTest::keyClicks(window_.ui.txtRot, action.mid(5));
    } else if (action.startsWith(QLatin1String("caret:"))) {
        const int caret = action.mid(6).toInt();
        Select(window_.ui.txtRot, caret, caret);
    } else if (action.startsWith(QLatin1String("select:"))) {
        const QStringList ends = action.mid(7).split(u':');
        Select(window_.ui.txtRot, ends[0].toInt(), ends[1].toInt());
    } else if (action.startsWith(QLatin1String("level:"))) {
        window_.ui.txtRotLvl->setText(action.mid(6));
    } else if (action == QLatin1String("Cut")) {
        QTest::keyClick(window_.ui.txtRot, Qt::Key_X, Qt::ControlModifier);
    } else if (action == QLatin1String("ShiftLeft") || action == QLatin1String("ShiftDelete")) {
        QTest::keyClick(
            window_.ui.txtRot, action.endsWith(u"Left") ? Qt::Key_Left : Qt::Key_Delete, Qt::ShiftModifier);
    } else if (action == QLatin1String("Undo")) {
        QTest::keyClick(window_.ui.txtRot, Qt::Key_Z, Qt::ControlModifier);
    } else if (action == QLatin1String("Redo")) {
        QTest::keyClick(window_.ui.txtRot, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    } else if (action == QLatin1String("CtrlY")) {
        QTest::keyClick(window_.ui.txtRot, Qt::Key_Y, Qt::ControlModifier);
    } else if (const int key = QMetaEnum::fromType<Qt::Key>().keyToValue(qPrintable(u"Key_"_s + action));
               key >= 0) {
        QTest::keyClick(window_.ui.txtRot, Qt::Key(key));
    } else {
        QPushButton *button;
        FIND_CONTROL(button, *window_.window, QStringLiteral("cmd") + action);
        button->click();
    }
}

void TestUndo::steps_data()
{
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<QStringList>("texts");
    const QString lines = QStringLiteral("Abc\r\nDef\r\nGhi");
    const QString rotated = QStringLiteral("Nop\r\nQrs\r\nTuv");
    QTest::newRow("crlf kept through undo and redo") << QStringList {u"paste:"_s + lines, u"ToRot"_s,
        u"Undo"_s, u"Redo"_s, u"Undo"_s, u"Undo"_s,
        u"Redo"_s} << QStringList {lines, rotated, lines, rotated, lines, u""_s, lines};
    QTest::newRow("failed autorot leaves no step") << QStringList {u"type:Zzz"_s, u"ToRot"_s, u"AutoRot"_s,
        u"Undo"_s} << QStringList {u"Zzz"_s, u"Mmm"_s, u"Mmm"_s, u"Zzz"_s};
    QTest::newRow("ctrl+y redoes") << QStringList {u"type:ab"_s, u"ToRot"_s, u"Undo"_s, u"CtrlY"_s,
        u"CtrlY"_s} << QStringList {u"ab"_s, u"no"_s, u"ab"_s, u"no"_s, u"no"_s};
    QTest::newRow("autorot is one step") << QStringList {u"type:Uryyb"_s, u"AutoRot"_s, u"Undo"_s, u"Redo"_s}
                                         << QStringList {u"Uryyb"_s, u"Hello"_s, u"Uryyb"_s, u"Hello"_s};
    QTest::newRow("autorot keeping the text leaves no step") << QStringList {
        u"type:hello"_s, u"AutoRot"_s, u"Undo"_s} << QStringList {u"hello"_s, u"hello"_s, u""_s};
    QTest::newRow("from rot and a typed line undo separately")
        << QStringList {u"paste:a\r"_s, u"type:b"_s, u"FromRot"_s, u"Undo"_s, u"Undo"_s}
        << QStringList {u"a\r"_s, u"a\rb"_s, u"n\ro"_s, u"a\rb"_s, u"a\r"_s};
    QTest::newRow("join then enter keeps every other break")
        << QStringList {u"paste:\r\na\naaa"_s, u"caret:2"_s, u"Delete"_s, u"caret:0"_s, u"Return"_s,
               u"type:k"_s}
        << QStringList {u"\r\na\naaa"_s, u"\r\na\naaa"_s, u"\r\naaaa"_s, u"\r\naaaa"_s, u"\n\r\naaaa"_s,
               u"\nk\r\naaaa"_s};
    QTest::newRow("join then enter keeps a cr") << QStringList {u"paste:\ra\naaa"_s, u"caret:2"_s,
        u"Delete"_s, u"caret:0"_s, u"Return"_s, u"type:k"_s}
                                                << QStringList {u"\ra\naaa"_s, u"\ra\naaa"_s, u"\raaaa"_s,
                                                       u"\raaaa"_s, u"\n\raaaa"_s, u"\nk\raaaa"_s};
    QTest::newRow("enter in an empty paragraph keeps the next break")
        << QStringList {u"paste:a\u2029\u2029b"_s, u"caret:2"_s, u"Return"_s, u"Return"_s, u"type:x"_s}
        << QStringList {u"a\u2029\u2029b"_s, u"a\u2029\u2029b"_s, u"a\u2029\n\u2029b"_s,
               u"a\u2029\n\n\u2029b"_s, u"a\u2029\n\nx\u2029b"_s};
    QTest::newRow("a one-character cut is a step of its own")
        << QStringList {u"type:abc"_s, u"ShiftLeft"_s, u"Cut"_s, u"type:Z"_s, u"Undo"_s, u"Undo"_s, u"Undo"_s}
        << QStringList {u"abc"_s, u"abc"_s, u"ab"_s, u"abZ"_s, u"ab"_s, u"abc"_s, u""_s};
    QTest::newRow("shift+delete of one character is a step of its own")
        << QStringList {u"type:abc"_s, u"ShiftLeft"_s, u"ShiftDelete"_s, u"type:Z"_s, u"Undo"_s, u"Undo"_s}
        << QStringList {u"abc"_s, u"abc"_s, u"ab"_s, u"abZ"_s, u"ab"_s, u"abc"_s};
    // The selection ends where the caret already was, so only the selection tells that something happened.
    QTest::newRow("typing over a selection ends deleting") << QStringList {u"type:abc"_s, u"Backspace"_s,
        u"select:1:2"_s, u"type:b"_s, u"caret:2"_s, u"Backspace"_s, u"Undo"_s,
        u"Undo"_s} << QStringList {u"abc"_s, u"ab"_s, u"ab"_s, u"ab"_s, u"ab"_s, u"a"_s, u"ab"_s, u"abc"_s};
    QTest::newRow("a caret move ends typing") << QStringList {u"type:ab"_s, u"Left"_s, u"Right"_s,
        u"type:c"_s, u"Undo"_s} << QStringList {u"ab"_s, u"ab"_s, u"ab"_s, u"abc"_s, u"ab"_s};
    QTest::newRow("a refused command ends typing") << QStringList {u"type:ab"_s, u"level:x"_s, u"ToRot"_s,
        u"type:c"_s, u"Undo"_s} << QStringList {u"ab"_s, u"ab"_s, u"ab"_s, u"abc"_s, u"ab"_s};
    QTest::newRow("backspace over an emoji and its neighbours is one step")
        << QStringList {u"paste:ab\U0001F600cd"_s, u"Backspace"_s, u"Backspace"_s, u"Backspace"_s,
               u"Backspace"_s, u"Backspace"_s, u"Undo"_s}
        << QStringList {u"ab\U0001F600cd"_s, u"ab\U0001F600c"_s, u"ab\U0001F600"_s, u"ab"_s, u"a"_s, u""_s,
               u"ab\U0001F600cd"_s};
    QTest::newRow("deleting does not join typing") << QStringList {u"type:ab"_s, u"Backspace"_s, u"type:c"_s,
        u"Undo"_s, u"Undo"_s} << QStringList {u"ab"_s, u"a"_s, u"ac"_s, u"a"_s, u"ab"_s};
    // The failed search rewrites "x\r\n" as one CR LF break where Enter had added an LF after the CR.
    QTest::newRow("enter after a lone cr undoes after a rewrite")
        << QStringList {u"paste:x\r"_s, u"Return"_s, u"AutoRot"_s, u"Undo"_s, u"Redo"_s, u"Undo"_s, u"Undo"_s}
        << QStringList {u"x\r"_s, u"x\r\n"_s, u"x\r\n"_s, u"x\r"_s, u"x\r\n"_s, u"x\r"_s, u""_s};
}

void TestUndo::steps()
{
    QFETCH(QStringList, actions);
    QFETCH(QStringList, texts);
    for (qsizetype i = 0; i < actions.size(); ++i) {
        run(actions[i]);
        QCOMPARE(window_.ui.txtRot->text(), texts[i]);
    }
}

void TestUndo::contextMenuFollowsHistory()
{
    const auto menuAction = [this](const char *name) {
        std::unique_ptr<QMenu> menu(window_.ui.txtRot->createStandardContextMenu(QPoint()));
        QAction *action = menu->findChild<QAction *>(QLatin1String(name));
        const bool enabled = action && action->isEnabled();
        if (enabled)
            action->trigger();
        return enabled;
    };
    QVERIFY(!menuAction("edit-undo"));
    QTest::keyClicks(window_.ui.txtRot, QStringLiteral("x"));
    QVERIFY(!menuAction("edit-redo"));
    QVERIFY(menuAction("edit-undo"));
    QCOMPARE(window_.ui.txtRot->text(), QString());
    QVERIFY(!menuAction("edit-undo"));
    QVERIFY(menuAction("edit-redo"));
    QCOMPARE(window_.ui.txtRot->text(), QStringLiteral("x"));
}

void TestUndo::randomEditsUndoExactly()
{
    ForEachSeed([this](quint32 seed) { randomEdits(seed); }, &QTest::currentTestFailed);
}

void TestUndo::randomEdits(quint32 seed)
{
    OPEN_WINDOW(window_, window_.writeWordList("hello\nworld\n"));
    window_.window->show();
    window_.ui.txtRot->setFocus();
    const QStringList pieces = {QStringLiteral("Gur "), QStringLiteral("uryyb"), QStringLiteral("\r\n"),
        QStringLiteral("\n"), QStringLiteral("\u2028"), QStringLiteral("\u2029"), QStringLiteral("\ufdd0"),
        QStringLiteral("\ufdd1"), QStringLiteral("\u00a0"), QString(QChar(0)), QString(QChar(0xd800)),
        QStringLiteral("z")};
    QRandomGenerator random(seed);
    const auto randomText = [&] {
        QString text;
        for (int n = random.bounded(6); n > 0; --n)
            text += pieces[random.bounded(int(pieces.size()))];
        return text;
    };
    Model model;
    bool lastWasTyping = false;
    for (int round = 0; round < 400; ++round) {
        QStringList positions = PositionsModel::Split(model.text());
        const int size = int(positions.size());
        const int caret = random.bounded(size + 1);
        // Keystrokes in a row join one step, so each burst of typing follows some other action.
        int kind = random.bounded(lastWasTyping ? 4 : 0, 12);
        if (kind == 11 && caret == size)
            kind = 8; // nothing to type over
        lastWasTyping = kind < 4;
        switch (kind) {
        case 0: { // type letters and Enter
            Select(window_.ui.txtRot, caret, caret);
            QString typed;
            for (int n = 1 + random.bounded(4); n > 0; --n) {
                const bool enter = random.bounded(3) == 0;
                if (enter)
                    QTest::keyClick(window_.ui.txtRot, Qt::Key_Return);
                else
                    QTest::keyClicks(window_.ui.txtRot, QStringLiteral("k"));
                typed += enter ? QStringLiteral("\n") : QStringLiteral("k");
            }
            model.change(
                positions.mid(0, caret).join(QString()) + typed + positions.mid(caret).join(QString()));
            break;
        }
        case 1: // backspace
        case 2: { // delete
            Select(window_.ui.txtRot, caret, caret);
            const int n = 1 + random.bounded(3);
            for (int i = 0; i < n; ++i)
                QTest::keyClick(window_.ui.txtRot, kind == 1 ? Qt::Key_Backspace : Qt::Key_Delete);
            const int from = kind == 1 ? std::max(0, caret - n) : caret;
            const int to = kind == 1 ? caret : std::min(size, caret + n);
            positions.remove(from, to - from);
            model.change(positions.join(QString()));
            break;
        }
        case 3: { // cut
            const int end = caret + random.bounded(size - caret + 1);
            Select(window_.ui.txtRot, caret, end);
            QTest::keyClick(window_.ui.txtRot, Qt::Key_X, Qt::ControlModifier);
            positions.remove(caret, end - caret);
            model.change(positions.join(QString()));
            break;
        }
        case 4: { // paste over a selection, with the button or the key
            const QString pasted = randomText();
            const int end = caret + random.bounded(size - caret + 1);
            Select(window_.ui.txtRot, caret, end);
            QGuiApplication::clipboard()->setText(pasted);
            if (random.bounded(2))
                window_.ui.cmdPaste->click();
            else
                QTest::keyClick(window_.ui.txtRot, Qt::Key_V, Qt::ControlModifier);
            positions.remove(caret, end - caret);
            positions.insert(caret, pasted);
            model.change(positions.join(QString()));
            break;
        }
        case 5:
        case 6: { // To ROT and From ROT at a random level
            const int level = random.bounded(27);
            window_.ui.txtRotLvl->setText(QString::number(level));
            (kind == 5 ? window_.ui.cmdToRot : window_.ui.cmdFromRot)->click();
            if (!model.text().isEmpty())
                model.change(ToQt(RotText(ToCore(model.text()), kind == 5 ? level : 26 - level)));
            break;
        }
        case 7: { // AutoRot leaves a rotation of the text, or the text as it was
            const QString before = model.text();
            window_.ui.cmdAutoRot->click();
            const QString after = window_.ui.txtRot->text();
            bool rotation = false;
            for (int level = 0; level < 26 && !rotation; ++level)
                rotation = after == ToQt(RotText(ToCore(before), level));
            QVERIFY2(rotation, qPrintable(QStringLiteral("round %1").arg(round)));
            model.change(after);
            break;
        }
        case 8:
            QTest::keyClick(window_.ui.txtRot, Qt::Key_Z, Qt::ControlModifier);
            model.undo();
            break;
        case 11: { // one letter typed over a selection
            const int end = caret + 1 + random.bounded(size - caret);
            Select(window_.ui.txtRot, caret, end);
            QTest::keyClicks(window_.ui.txtRot, QStringLiteral("q"));
            positions.remove(caret, end - caret);
            positions.insert(caret, QStringLiteral("q"));
            model.change(positions.join(QString()));
            break;
        }
        default:
            if (kind == 9)
                QTest::keyClick(window_.ui.txtRot, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
            else
                QTest::keyClick(window_.ui.txtRot, Qt::Key_Y, Qt::ControlModifier);
            model.redo();
            break;
        }
        if (window_.ui.txtRot->text() != model.text())
            qWarning("seed %u, round %d, action %d", seed, round, kind);
        QCOMPARE(window_.ui.txtRot->text(), model.text());
        // The document on screen holds as many positions as the text.
        QCOMPARE(window_.ui.txtRot->document()->characterCount() - 1,
            int(PositionsModel::Split(model.text()).size()));
        QCOMPARE(window_.ui.txtRot->canUndo(), model.current > 0);
        QCOMPARE(window_.ui.txtRot->canRedo(), model.current + 1 < model.texts.size());
    }
    window_.ui.txtRot->selectAll();
    QCOMPARE(window_.ui.txtRot->selectedText(), model.text());
}

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
