// Odd, huge and hostile input: texts and word-list files that must never crash, hang or lose text.
#include <QClipboard>
#include <QPushButton>
#include <QTest>

#include "messagerecorder.h"
#include "rot/rot.h"
#include "ui/rottextbox.h"
#include "ui/textconv.h"
#include "ui/wordlistholder.h"
#include "windowfixture.h"

using platform::MessageIcon;

class TestBadInput : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void hugeTextThroughEveryCommand();
    void unusualUnitsKeptExactly_data();
    void unusualUnitsKeptExactly();
    void wordListFiles_data();
    void wordListFiles();
    void wordListPaths_data();
    void wordListPaths();

private:
    WindowFixture window_;
};

void TestBadInput::cleanup()
{
    window_.close();
}

void TestBadInput::hugeTextThroughEveryCommand()
{
    OPEN_WINDOW(window_, window_.writeWordList("hello\nworld\n"));
    window_.window->show();
    const Controls &ui = window_.ui;
    RotTextBox *box = ui.txtRot;
    // 10 MB of UTF-16 in short lines, with a CR LF and a few non-ASCII units on every line.
    QString text;
    const QString line
        = QStringLiteral("Uryyb Jbeyq, \u00e9\U0001F600 \u05e9 fgnl jvgu zr 0123456789 nyy qnl ybat\r\n");
    text.reserve(5 * 1024 * 1024 + line.size());
    while (text.size() < 5 * 1024 * 1024)
        text += line;
    box->replaceAll(text);
    MessageRecorder recorder;

    ui.cmdToRot->click();
    QVERIFY(box->text() == ToQt(RotText(ToCore(text), 13)));
    ui.cmdFromRot->click();
    QVERIFY(box->text() == text);

    ui.cmdAutoRot->click();
    QCOMPARE(recorder.messages.size(), std::size_t(1));
    QCOMPARE(recorder.messages[0].title, QStringLiteral("Success!"));
    QVERIFY(box->text() == ToQt(RotText(ToCore(text), 13)));

    box->selectAll();
    ui.cmdCopy->click();
    QVERIFY(QGuiApplication::clipboard()->text() == box->text());
    box->replaceAll(QStringLiteral("x"));
    box->selectAll();
    ui.cmdPaste->click();
    QVERIFY(box->text() == ToQt(RotText(ToCore(text), 13)));
}

void TestBadInput::unusualUnitsKeptExactly_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("nul") << QStringLiteral("Uryyb") + QChar(0) + QStringLiteral("Jbeyq");
    QTest::newRow("lone high surrogate")
        << QStringLiteral("Uryyb ") + QChar(0xd83d) + QStringLiteral(" Jbeyq");
    QTest::newRow("lone low surrogate") << QChar(0xde00) + QStringLiteral("Uryyb Jbeyq");
    QTest::newRow("emoji") << QStringLiteral("Uryyb \U0001F600\U0001F44D\U0001F3FD Jbeyq");
    QTest::newRow("right to left") << QStringLiteral(
        "\u05e9\u05dc\u05d5\u05dd Uryyb \u0645\u0631\u062d\u0628\u0627 Jbeyq");
    QTest::newRow("crlf and lone breaks") << QStringLiteral("Uryyb\r\nJbeyq\r\r\n\n");
    QTest::newRow("separators") << QStringLiteral("Uryyb\u2028Jbeyq\u2029\u00a0\ufdd0\ufdd1");
}

void TestBadInput::unusualUnitsKeptExactly()
{
    QFETCH(QString, text);
    OPEN_WINDOW(window_, window_.writeWordList("hello\n"));
    const Controls &ui = window_.ui;
    RotTextBox *box = ui.txtRot;
    MessageRecorder recorder;
    box->replaceAll(text);
    ui.cmdToRot->click();
    QCOMPARE(box->text(), ToQt(RotText(ToCore(text), 13)));
    ui.cmdFromRot->click();
    QCOMPARE(box->text(), text);
    ui.cmdAutoRot->click();
    QCOMPARE(box->text(), ToQt(RotText(ToCore(text), 13)));
    box->selectAll();
    ui.cmdCopy->click();
    QCOMPARE(QGuiApplication::clipboard()->text(), box->text());
    box->selectAll();
    ui.cmdPaste->click();
    QCOMPARE(box->text(), ToQt(RotText(ToCore(text), 13)));
    QCOMPARE(recorder.messages.size(), std::size_t(1));
}

void TestBadInput::wordListFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("first");
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary += char((i * 7919) % 256);
    QByteArray million;
    million.reserve(8 * 1000000);
    for (int i = 0; i < 1000000; ++i)
        million += "word" + QByteArray::number(i % 1000) + '\n';
    QTest::newRow("binary") << binary << -1 << QString();
    QTest::newRow("a million lines") << million << 1000000 << "word0";
    QTest::newRow("a 1 MB line") << QByteArray(1 << 20, 'q') << 1 << QString(1 << 20, QLatin1Char('q'));
    QTest::newRow("utf-8 byte-order mark") << QByteArray("\xef\xbb\xbfhello\r\nworld") << 2 << "hello";
    QTest::newRow("mixed line ends") << QByteArray("a\rb\nc\r\nd") << 4 << "a";
    QTest::newRow("windows-1252") << QByteArray("caf\xe9\n") << 1 << "caf\u00e9";
    QTest::newRow("utf-8") << QByteArray("caf\xc3\xa9\n") << 1 << "caf\u00e9";
    QTest::newRow("nul bytes") << QByteArray("a\0b\n", 4) << 1
                               << QString(QStringLiteral("a") + QChar(0) + QStringLiteral("b"));
    QTest::newRow("empty") << QByteArray() << 0 << QString();
    // Saved by Notepad as "Unicode": UTF-16 LE with a byte-order mark and CR LF; then the same cut short.
    const QByteArray notepad = QByteArray("\xff\xfe") + QByteArray("h\0i\0\r\0\n\0=\xd8\0\xde\r\0\n\0", 16);
    QTest::newRow("utf-16 le") << notepad << 2 << "hi";
    QTest::newRow("utf-16 odd last byte") << notepad + 'x' << 3 << "hi";
}

void TestBadInput::wordListFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, count);
    QFETCH(QString, first);
    MessageRecorder recorder;
    OPEN_WINDOW(window_, window_.writeWordList(bytes));
    const Controls &ui = window_.ui;
    QVERIFY(recorder.messages.empty());
    QVERIFY(ui.cmdAutoRot->isEnabled());
    const auto &items = ui.lstWords->items();
    if (count >= 0)
        QCOMPARE(int(items.size()), count);
    if (!first.isEmpty())
        QVERIFY(QString::fromStdU16String(std::u16string(items[0])) == first);
    // Whatever was loaded, AutoRot runs to its end and reports once.
    ui.txtRot->replaceAll(QStringLiteral("Uryyb"));
    ui.cmdAutoRot->click();
    QCOMPARE(recorder.messages.size(), std::size_t(1));
}

void TestBadInput::wordListPaths_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("messageStart");
    QTest::newRow("directory") << "directory"
                               << "The file \"";
    QTest::newRow("dangling link") << "dangling"
                                   << "The file \"wordlist.txt\" was not found.";
    QTest::newRow("pipe") << "pipe"
                          << "The file \"";
    QTest::newRow("4 GB, sparse") << "huge"
                                  << "The file \"";
}

void TestBadInput::wordListPaths()
{
    QFETCH(QString, kind);
    QFETCH(QString, messageStart);
    const QString folder = window_.filePath(kind);
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/wordlist.txt");
    if (kind == QLatin1String("directory"))
        QVERIFY(QDir().mkpath(path));
    else if (kind == QLatin1String("dangling"))
        QVERIFY(QFile::link(folder + QStringLiteral("/nowhere.txt"), path));
    else if (kind == QLatin1String("huge")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(qint64 {1} << 32));
    } else {
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
    QVERIFY2(recorder.messages[0].text.startsWith(messageStart), qPrintable(recorder.messages[0].text));
    QVERIFY(!window_.ui.cmdAutoRot->isEnabled());
    QVERIFY(window_.ui.cmdToRot->isEnabled());
}

QTEST_MAIN(TestBadInput)
#include "tst_badinput.moc"
