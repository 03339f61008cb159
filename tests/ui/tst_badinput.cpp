// Odd, huge and hostile input: texts and word-list files that must never crash, hang or lose text.
#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>
#include <system_error>

#include <QClipboard>
#include <QProcess>
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
    void hugeCountsReportedWhole();
    void unusualUnitsKeptExactly_data();
    void unusualUnitsKeptExactly();
    void wordListFiles_data();
    void wordListFiles();
    void wordListPaths_data();
    void wordListPaths();
    void autoRotOutOfMemory();

private:
    WindowFixture window_;
};

#if defined(__SANITIZE_ADDRESS__)
#define QUINDLE_ADDRESS_SANITIZER
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUINDLE_ADDRESS_SANITIZER
#endif
#endif

namespace
{
// Set in the child that loads a list under a memory limit.
constexpr char kLimitedChild[] = "QUINDLE_TEST_LIMITED_CHILD";

#ifndef _WIN32
// Caps the address space a little above what this process uses already, as a small machine would.
bool LimitAddressSpace(rlim_t headroom)
{
    std::ifstream statm("/proc/self/statm");
    rlim_t pages = 0;
    statm >> pages;
    const rlim_t limit = pages * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + headroom;
    const rlimit cap {limit, limit};
    return pages > 0 && setrlimit(RLIMIT_AS, &cap) == 0;
}
#endif
} // namespace

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

void TestBadInput::hugeCountsReportedWhole()
{
    OPEN_WINDOW(window_, window_.writeWordList("hello\n"));
    // Runs this long only come from files of many gigabytes, so the list is built from its runs.
    using Runs = std::vector<std::pair<std::u16string, std::uint64_t>>;
    window_.ui.lstWords->setItems(WordList(Runs {{u"hello", 3'000'000'000}, {u"world", 3'000'000'000}}));
    window_.ui.txtRot->replaceAll(QStringLiteral("Uryyb Jbeyq"));
    MessageRecorder recorder;
    window_.ui.cmdAutoRot->click();
    QCOMPARE(recorder.messages.size(), std::size_t(1));
    QVERIFY2(recorder.messages[0].text.endsWith(
                 QStringLiteral("AutoRot found 6000000000 word matches within this ROT level.")),
        qPrintable(recorder.messages[0].text));
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
    QTest::newRow("utf-16 le without mark") << notepad.mid(2) << 2 << "hi";
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
    // Which paths are refused is the core's to test; here, that each kind of answer reaches its box.
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("messagePart");
    QTest::newRow("directory") << "directory"
                               << "could not be read: it is not a regular file.";
    QTest::newRow("dangling link") << "dangling"
                                   << "The file \"wordlist.txt\" was not found.";
    QTest::newRow("link loop") << "loop"
                               << "could not be read: Too many levels of symbolic links.";
    QTest::newRow("4.1 GB, sparse") << "over 4 GB"
                                    << "could not be read: it is 4 GB or larger.";
    // One line of a GiB: a child process loads it with little address space to spare.
    QTest::newRow("out of memory") << "memory"
                                   << "could not be read: there is not enough memory to hold it.";
}

void TestBadInput::wordListPaths()
{
    QFETCH(QString, kind);
    QFETCH(QString, messagePart);
    if (kind == QLatin1String("memory") && !qEnvironmentVariableIsSet(kLimitedChild)) {
#ifdef QUINDLE_ADDRESS_SANITIZER
        QSKIP("AddressSanitizer ends a process whose allocation fails instead of failing the allocation");
#endif
#ifdef Q_OS_WIN
        QSKIP("Windows has no address-space limit for one process");
#endif
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QLatin1String(kLimitedChild), QStringLiteral("1"));
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
            {QStringLiteral("wordListPaths:") + QString::fromLatin1(QTest::currentDataTag())});
        QVERIFY(child.waitForFinished(120000));
        const QByteArray output = child.readAll();
        qInfo().noquote() << QStringLiteral("the child under the memory limit:\n")
                + QString::fromLocal8Bit(output);
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        QVERIFY(output.contains("PASS   : TestBadInput::wordListPaths(out of memory)"));
        return;
    }
    const QString folder = window_.filePath(kind);
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/wordlist.txt");
    if (kind == QLatin1String("directory"))
        QVERIFY(QDir().mkpath(path));
    else if (kind == QLatin1String("dangling") || kind == QLatin1String("loop")) {
        // A real symbolic link: QFile::link makes a shortcut on Windows, which is a plain file.
        const QString target = kind == QLatin1String("loop") ? path : folder + QStringLiteral("/nowhere.txt");
        std::error_code error;
        std::filesystem::create_symlink(std::filesystem::path(target.toStdU16String()),
            std::filesystem::path(path.toStdU16String()), error);
        if (error)
            QSKIP(qPrintable(QStringLiteral("no symbolic link could be made here: ")
                + QString::fromStdString(error.message())));
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly)
            && file.resize(kind == QLatin1String("memory") ? qint64 {1} << 30 : qint64 {4'100'000'000}));
    }
#ifndef Q_OS_WIN
    if (kind == QLatin1String("memory"))
        QVERIFY(LimitAddressSpace(rlim_t {256} << 20));
#endif
    MessageRecorder recorder;
    OPEN_WINDOW(window_, path);
    QCOMPARE(recorder.messages.size(), std::size_t(1));
    QCOMPARE(recorder.messages[0].title, QStringLiteral("Error!"));
    QCOMPARE(recorder.messages[0].icon, MessageIcon::Critical);
    QVERIFY2(recorder.messages[0].text.contains(messagePart), qPrintable(recorder.messages[0].text));
    if (qEnvironmentVariableIsSet(kLimitedChild))
        qInfo().noquote() << recorder.messages[0].text;
    QVERIFY(!window_.ui.cmdAutoRot->isEnabled());
    QVERIFY(window_.ui.cmdToRot->isEnabled());
}

// A list that loads, but whose matcher does not fit: the first AutoRot reports it, keeps the text and its
// history, and AutoRot stays off.
void TestBadInput::autoRotOutOfMemory()
{
#ifdef QUINDLE_ADDRESS_SANITIZER
    QSKIP("AddressSanitizer ends a process whose allocation fails instead of failing the allocation");
#endif
#ifdef Q_OS_WIN
    QSKIP("Windows has no address-space limit for one process");
#else
    if (!qEnvironmentVariableIsSet(kLimitedChild)) {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QLatin1String(kLimitedChild), QStringLiteral("1"));
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("autoRotOutOfMemory")});
        QVERIFY(child.waitForFinished(120000));
        const QByteArray output = child.readAll();
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QVERIFY2(child.exitCode() == 0 && output.contains("PASS   : TestBadInput::autoRotOutOfMemory()"),
            output.constData());
        return;
    }
    // Two million distinct nine-letter words: 20 MB of file, many times that of automaton.
    QByteArray list;
    list.reserve(20'000'000);
    std::uint64_t state = 1;
    for (int i = 0; i < 2'000'000; ++i) {
        for (int letter = 0; letter < 9; ++letter) {
            state = state * 6364136223846793005u + 1442695040888963407u;
            list += static_cast<char>('a' + (state >> 33) % 26);
        }
        list += '\n';
    }
    OPEN_WINDOW(window_, window_.writeWordList(list));
    list = QByteArray();
    const Controls &ui = window_.ui;
    ui.txtRot->replaceAll(QStringLiteral("Uryyb Jbeyq"));
    QVERIFY(LimitAddressSpace(rlim_t {48} << 20));
    MessageRecorder recorder;
    ui.cmdAutoRot->click();
    QCOMPARE(recorder.messages.size(), std::size_t(1));
    QCOMPARE(recorder.messages[0].title, QStringLiteral("Error!"));
    QCOMPARE(recorder.messages[0].icon, MessageIcon::Critical);
    QVERIFY2(recorder.messages[0].text.contains(
                 QStringLiteral("could not be read: there is not enough memory to hold it.")),
        qPrintable(recorder.messages[0].text));
    QCOMPARE(ui.txtRot->text(), QStringLiteral("Uryyb Jbeyq"));
    QVERIFY(ui.txtRot->canUndo());
    ui.txtRot->undo();
    QCOMPARE(ui.txtRot->text(), QString());
    QVERIFY(!ui.cmdAutoRot->isEnabled());
    QVERIFY(ui.cmdToRot->isEnabled());
#endif
}

QTEST_MAIN(TestBadInput)
#include "tst_badinput.moc"
