// Whole commands on the real window under the offscreen platform: showing, converting and AutoRot on huge
// texts.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QClipboard>
#include <QPushButton>

#include <memory>

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

struct Window {
    Window()
    {
        form = std::make_unique<frmMain>(QStringLiteral(QUINDLE_WORDLIST));
        form->show();
        QApplication::processEvents();
        box = form->findChild<RotTextBox *>(QStringLiteral("txtRot"));
    }
    void click(const char *name) { form->findChild<QPushButton *>(QLatin1String(name))->click(); }
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

void BM_AutoRotClick(benchmark::State &state)
{
    Window window;
    const QString text = Paragraph(state.range(0), true);
    for (auto _ : state) {
        state.PauseTiming();
        window.box->replaceAll(text);
        window.settle();
        state.ResumeTiming();
        window.click("cmdAutoRot");
        window.settle();
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
    ->ArgName("units")
    ->Arg(32766)
    ->Arg(1 << 20)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

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
