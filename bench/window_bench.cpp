// Whole commands on the real window under the offscreen platform: showing, converting and AutoRot on huge
// texts.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>

#include <chrono>
#include <fstream>
#include <memory>
#include <string>
#include <tuple>
#include <utility>

#include "platform/fonts.h"
#include "platform/messagebox.h"
#include "ui/frmMain.h"
#include "ui/rottextbox.h"

namespace
{

QString Paragraph(qsizetype units, bool spaces)
{
    const QString prose
        = QStringLiteral("Gur dhvpx oebja sbk whzcf bire gur ynml qbt naq pbagvahrf ba uvf jnl ");
    QString text;
    text.reserve(units);
    while (text.size() < units)
        text += spaces ? prose : QStringLiteral("Gurdhvpxoebjasbkwhzcfbiregurynmlqbt");
    text.truncate(units);
    return text;
}

// Ciphered prose in CR LF lines, as a long document pasted from a file.
QString Lines(qsizetype units)
{
    QString text = Paragraph(units, true);
    for (qsizetype i = 70; i + 1 < text.size(); i += 72)
        text.replace(i, 2, QStringLiteral("\r\n"));
    return text;
}

// Resident and peak resident memory of this process in MB.
double MemoryMb(const char *field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field, 0) == 0)
            return std::stod(line.substr(line.find(':') + 1)) / 1024.0;
    }
    return 0;
}

// Starts a new peak, so a benchmark's peak is not the one an earlier benchmark reached.
void ResetPeakMemory()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

struct Window {
    Window()
    {
        form = std::make_unique<frmMain>(QStringLiteral(QUINDLE_WORDLIST));
        form->show();
        QApplication::processEvents();
        box = form->findChild<RotTextBox *>(QStringLiteral("txtRot"));
    }
    void click(const char *name) { form->findChild<QPushButton *>(QLatin1String(name))->click(); }
    void autoRot(const QString &text)
    {
        box->replaceAll(text);
        settle();
        click("cmdAutoRot");
        settle();
    }
    void settle()
    {
        QApplication::processEvents();
        box->repaint();
    }
    std::unique_ptr<frmMain> form;
    RotTextBox *box = nullptr;
};

// Writing a text into the box and painting it, as a paste would.
void BM_ShowText(benchmark::State &state)
{
    Window window;
    const QString a = Paragraph(state.range(0), state.range(1) != 0);
    const QString b = a.toLower();
    bool flip = false;
    for (auto _ : state) {
        window.box->replaceAll((flip = !flip) ? a : b);
        window.settle();
    }
}

// Paste from.. with an empty box and a whole document on the clipboard.
void BM_PasteClick(benchmark::State &state)
{
    Window window;
    QGuiApplication::clipboard()->setText(Paragraph(state.range(0), state.range(1) != 0));
    for (auto _ : state) {
        state.PauseTiming();
        window.box->replaceAll(QString());
        window.settle();
        state.ResumeTiming();
        window.click("cmdPaste");
        window.settle();
    }
}

void BM_ToRotClick(benchmark::State &state)
{
    Window window;
    window.box->replaceAll(Paragraph(state.range(0), state.range(1) != 0));
    window.settle();
    for (auto _ : state) {
        window.click("cmdToRot");
        window.settle();
    }
}

// The text AutoRot works on: ciphered prose in CR LF lines, or one paragraph of it.
QString AutoRotText(qsizetype units, bool lines)
{
    return lines ? Lines(units) : Paragraph(units, true);
}

void BM_AutoRotClick(benchmark::State &state)
{
    Window window;
    const QString text = AutoRotText(state.range(0), state.range(1) != 0);
    for (auto _ : state) {
        state.PauseTiming();
        window.box->replaceAll(text);
        window.settle();
        state.ResumeTiming();
        window.click("cmdAutoRot");
        window.settle();
    }
}

// An AutoRot click and a To ROT click on the same 5 MB, in turn: what AutoRot costs in To ROT clicks.
void BM_AutoRotOverToRot(benchmark::State &state)
{
    Window window;
    const QString text = AutoRotText(5 * 1000 * 1000, state.range(0) != 0);
    double autoRotSeconds = 0;
    double toRotSeconds = 0;
    for (auto _ : state) {
        for (const auto &[command, seconds] :
            {std::pair<const char *, double *> {"cmdAutoRot", &autoRotSeconds},
                std::pair<const char *, double *> {"cmdToRot", &toRotSeconds}}) {
            window.box->replaceAll(text);
            window.settle();
            const auto start = std::chrono::steady_clock::now();
            window.click(command);
            window.settle();
            *seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }
    }
    state.counters["autorot_ms"] = autoRotSeconds * 1000 / double(state.iterations());
    state.counters["torot_ms"] = toRotSeconds * 1000 / double(state.iterations());
    state.counters["ratio"] = autoRotSeconds / toRotSeconds;
}

// AutoRot on 0.8 MB and on 4 MB of text, side by side: the ratio is 5 when the time is linear.
void BM_AutoRotScaling(benchmark::State &state)
{
    Window window;
    const QString small = AutoRotText(800 * 1000, state.range(0) != 0);
    const QString large = AutoRotText(4 * 1000 * 1000, state.range(0) != 0);
    double smallSeconds = 0;
    double largeSeconds = 0;
    for (auto _ : state) {
        for (const auto &[text, seconds] :
            {std::pair {&small, &smallSeconds}, std::pair {&large, &largeSeconds}}) {
            state.PauseTiming();
            window.box->replaceAll(*text);
            window.settle();
            state.ResumeTiming();
            const auto start = std::chrono::steady_clock::now();
            window.click("cmdAutoRot");
            window.settle();
            *seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }
    }
    state.counters["small_s"] = smallSeconds / double(state.iterations());
    state.counters["large_s"] = largeSeconds / double(state.iterations());
    state.counters["ratio"] = largeSeconds / smallSeconds;
}

void BM_AutoRotUndo(benchmark::State &state)
{
    Window window;
    const QString text = AutoRotText(state.range(0), state.range(1) != 0);
    for (auto _ : state) {
        state.PauseTiming();
        window.autoRot(text);
        state.ResumeTiming();
        window.box->undo();
        window.settle();
    }
}

// Resident memory after one and after ten AutoRots on the same text, each one undoable step: the
// text is enciphered again (a step of its own) before each search.
void BM_AutoRotMemory(benchmark::State &state)
{
    const QString text = Lines(state.range(0));
    for (auto _ : state) {
        Window window;
        window.autoRot(text);
        const double first = MemoryMb("VmRSS");
        for (int round = 1; round < 10; ++round) {
            window.click("cmdToRot");
            window.click("cmdAutoRot");
            window.settle();
        }
        const double tenth = MemoryMb("VmRSS");
        state.counters["rss_first_MB"] = first;
        state.counters["rss_tenth_MB"] = tenth;
        state.counters["growth_MB"] = tenth - first;
        state.counters["history_MB"] = double(window.box->historyBytes()) / (1 << 20);
    }
}

// The bad-input sweep: 10 MB of UTF-16 in CR LF lines through To ROT, From ROT, AutoRot, Copy and
// Paste; the counter is the peak resident memory while it runs.
void BM_HugeSweepPeak(benchmark::State &state)
{
    QString text;
    const QString line
        = QStringLiteral("Uryyb Jbeyq, \u00e9\U0001F600 \u05e9 fgnl jvgu zr 0123456789 nyy qnl ybat\r\n");
    while (text.size() < 5 * 1024 * 1024)
        text += line;
    for (auto _ : state) {
        ResetPeakMemory();
        Window window;
        window.box->replaceAll(text);
        for (const char *command : {"cmdToRot", "cmdFromRot", "cmdAutoRot"})
            window.click(command);
        window.box->selectAll();
        window.click("cmdCopy");
        window.box->replaceAll(QStringLiteral("x"));
        window.box->selectAll();
        window.click("cmdPaste");
        window.settle();
        state.counters["peak_MB"] = MemoryMb("VmHWM");
    }
}

// One key and Backspace in the middle of a huge text, typed into the box and into a stock QPlainTextEdit
// of the same size and font, side by side; the ratio is the box's cost over the stock editor's.
void BM_KeystrokeRatio(benchmark::State &state)
{
    Window window;
    const QString text = AutoRotText(5 * 1000 * 1000, state.range(0) != 0);
    window.box->replaceAll(text);
    QPlainTextEdit stock;
    stock.setFont(window.box->font());
    stock.resize(window.box->size());
    stock.setPlainText(text);
    stock.show();
    for (QPlainTextEdit *editor : {static_cast<QPlainTextEdit *>(window.box), &stock}) {
        QTextCursor cursor = editor->textCursor();
        cursor.setPosition(editor->document()->characterCount() / 2);
        editor->setTextCursor(cursor);
    }
    window.settle();
    const auto press = [](QPlainTextEdit *editor, Qt::Key key, const QString &typed) {
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, typed);
        QApplication::sendEvent(editor, &down);
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, typed);
        QApplication::sendEvent(editor, &up);
        QApplication::processEvents();
        editor->viewport()->repaint();
    };
    double boxSeconds = 0;
    double stockSeconds = 0;
    for (auto _ : state) {
        for (const auto &[editor, seconds] : {std::pair<QPlainTextEdit *, double *> {window.box, &boxSeconds},
                 std::pair<QPlainTextEdit *, double *> {&stock, &stockSeconds}}) {
            const auto start = std::chrono::steady_clock::now();
            press(editor, Qt::Key_X, QStringLiteral("x"));
            press(editor, Qt::Key_Backspace, QString());
            *seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }
    }
    state.counters["box_ms"] = boxSeconds * 500 / double(state.iterations());
    state.counters["stock_ms"] = stockSeconds * 500 / double(state.iterations());
    state.counters["ratio"] = boxSeconds / stockSeconds;
}

// 5 MB of one paragraph against the same 5 MB in CR LF lines, each in a window of its own, and a stock
// QPlainTextEdit with the paragraph, side by side: a key and Backspace in the middle, a whole-text write
// (To ROT; the stock editor takes the same text with setPlainText) and the font toggle, in ms each.
void BM_ParagraphVsLines(benchmark::State &state)
{
    const qsizetype units = 5 * 1000 * 1000;
    Window paragraph;
    Window lines;
    paragraph.box->replaceAll(Paragraph(units, true));
    lines.box->replaceAll(Lines(units));
    QPlainTextEdit stock;
    stock.setFont(paragraph.box->font());
    stock.resize(paragraph.box->size());
    stock.setPlainText(Paragraph(units, true));
    stock.show();
    const QString stockRotated = paragraph.box->text().toUpper();
    QPlainTextEdit *editors[] = {paragraph.box, lines.box, &stock};
    for (QPlainTextEdit *editor : editors) {
        QTextCursor cursor = editor->textCursor();
        cursor.setPosition(editor->document()->characterCount() / 2);
        editor->setTextCursor(cursor);
    }
    paragraph.settle();
    lines.settle();
    const auto settle = [](QPlainTextEdit *editor) {
        QApplication::processEvents();
        editor->viewport()->repaint();
    };
    const auto press = [&](QPlainTextEdit *editor, Qt::Key key, const QString &typed) {
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, typed);
        QApplication::sendEvent(editor, &down);
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, typed);
        QApplication::sendEvent(editor, &up);
        settle(editor);
    };
    const auto time = [](double &total, const auto &act) {
        const auto start = std::chrono::steady_clock::now();
        act();
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    double key[3] = {};
    double write[3] = {};
    double font[3] = {};
    bool stockFixed = false;
    for (auto _ : state) {
        for (int i = 0; i < 3; ++i) {
            time(key[i], [&] {
                press(editors[i], Qt::Key_X, QStringLiteral("x"));
                press(editors[i], Qt::Key_Backspace, QString());
            });
        }
        for (Window *window : {&paragraph, &lines}) {
            time(write[window == &paragraph ? 0 : 1], [&] {
                window->click("cmdToRot");
                window->settle();
            });
            time(font[window == &paragraph ? 0 : 1], [&] {
                window->form->findChild<QCheckBox *>(QStringLiteral("chkFixedFont"))->click();
                window->settle();
            });
        }
        time(write[2], [&] {
            stock.setPlainText(stockRotated);
            settle(&stock);
        });
        time(font[2], [&] {
            stockFixed = !stockFixed;
            stock.setFont(stockFixed ? platform::FixedWidthFont(stock.font()) : platform::ProportionalFont());
            settle(&stock);
        });
    }
    const double per = 1000 / double(state.iterations());
    for (const auto &[name, seconds, share] :
        {std::tuple {"key", key, 0.5}, std::tuple {"write", write, 1.0}, std::tuple {"font", font, 1.0}}) {
        for (int i = 0; i < 3; ++i) {
            static const char *const kWhere[] = {"_paragraph_ms", "_lines_ms", "_stock_ms"};
            state.counters[std::string(name) + kWhere[i]] = seconds[i] * share * per;
        }
        state.counters[std::string(name) + "_ratio"] = seconds[0] / seconds[1];
    }
}

// The first word move and double click across one word of 5 MB after it is written: the box shows it in
// pieces, the stock editor lays it out whole as it is written (wrapping anywhere, as word wrapping is
// quadratic on such a word).
void BM_WordOverPieces(benchmark::State &state)
{
    const QString words[] = {Paragraph(5 * 1000 * 1000, false), Paragraph(5 * 1000 * 1000, false).toLower()};
    Window window;
    QPlainTextEdit stock;
    stock.setWordWrapMode(QTextOption::WrapAnywhere);
    stock.resize(window.box->size());
    stock.show();
    QPlainTextEdit *editors[] = {window.box, &stock};
    const auto time = [](double &total, const auto &act) {
        const auto start = std::chrono::steady_clock::now();
        act();
        QApplication::processEvents();
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    double move[2] = {};
    double click[2] = {};
    for (auto _ : state) {
        const QString &word = words[state.iterations() % 2];
        window.box->replaceAll(word);
        window.settle();
        stock.setPlainText(word);
        QApplication::processEvents();
        for (int i = 0; i < 2; ++i) {
            time(move[i], [&] {
                QKeyEvent key(QEvent::KeyPress, Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
                QApplication::sendEvent(editors[i], &key);
            });
            time(click[i], [&] {
                const QPointF at(20, 5);
                for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                         QEvent::MouseButtonPress, QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
                    const Qt::MouseButtons held
                        = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
                    QMouseEvent mouse(
                        type, at, editors[i]->viewport()->mapToGlobal(at), Qt::LeftButton, held, {});
                    QApplication::sendEvent(editors[i]->viewport(), &mouse);
                }
            });
            if (editors[i]->textCursor().selectionEnd() < editors[i]->document()->characterCount() - 1)
                state.SkipWithError("the word was not selected whole");
        }
    }
    const double per = 1000 / double(state.iterations());
    for (const auto &[name, seconds] : {std::pair {"move", move}, std::pair {"click", click}}) {
        state.counters[std::string(name) + "_box_ms"] = seconds[0] * per;
        state.counters[std::string(name) + "_stock_ms"] = seconds[1] * per;
        state.counters[std::string(name) + "_ratio"] = seconds[0] / seconds[1];
    }
}

} // namespace

BENCHMARK(BM_ShowText)
    ->ArgNames({"units", "spaces"})
    ->Args({1 << 20, 1})
    ->Args({1 << 20, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_PasteClick)
    ->ArgNames({"units", "spaces"})
    ->Args({1 << 20, 1})
    ->Args({1 << 20, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ToRotClick)
    ->ArgNames({"units", "spaces"})
    ->Args({1 << 20, 1})
    ->Args({1 << 20, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_AutoRotClick)
    ->ArgNames({"units", "lines"})
    ->ArgsProduct({{32766, 800 * 1000, 1 << 20, 4 * 1000 * 1000, 5 * 1000 * 1000}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_AutoRotOverToRot)
    ->ArgName("lines")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(BM_AutoRotScaling)
    ->ArgName("lines")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(BM_AutoRotUndo)
    ->ArgNames({"units", "lines"})
    ->Args({5 * 1000 * 1000, 1})
    ->Args({5 * 1000 * 1000, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_AutoRotMemory)
    ->ArgName("units")
    ->Arg(5 * 1000 * 1000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(BM_WordOverPieces)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_KeystrokeRatio)->ArgName("lines")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ParagraphVsLines)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_HugeSweepPeak)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::RegisterFonts();
    platform::SetMessageHandler([](const platform::Message &) {});
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
