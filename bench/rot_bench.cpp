// RotText throughput against memcpy of the same bytes, both on a cache-resident 1 MB text.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "rot/rot.h"

namespace
{

constexpr std::size_t kUnits = 512 * 1024; // 1 MB of UTF-16

std::u16string SampleText()
{
    const std::u16string sentence = u"The Quick Brown Fox jumps over the lazy dog, 1234567890!\r\n";
    std::u16string text;
    while (text.size() < kUnits)
        text += sentence;
    text.resize(kUnits);
    return text;
}

void BM_RotText(benchmark::State &state)
{
    const std::u16string text = SampleText();
    for (auto _ : state) {
        std::u16string out = RotText(text, 13);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kUnits * sizeof(char16_t)));
}

void BM_Memcpy(benchmark::State &state)
{
    const std::u16string text = SampleText();
    std::u16string out(kUnits, u'\0');
    for (auto _ : state) {
        std::memcpy(out.data(), text.data(), kUnits * sizeof(char16_t));
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kUnits * sizeof(char16_t)));
}

} // namespace

BENCHMARK(BM_RotText);
BENCHMARK(BM_Memcpy);
BENCHMARK_MAIN();
