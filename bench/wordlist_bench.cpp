// AutoRot's word-list search and list loading at sizes a user could throw at them, against a plain search.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "rot/rot.h"
#include "wordlist/wordlist.h"

namespace
{

// Lower-case pseudo-words, 2-12 letters, letters drawn with roughly English frequencies; a few repeat.
std::vector<std::u16string> MakeEntries(std::size_t count)
{
    static constexpr char kLetters[] = "eeeeeeeeeeeetttttttttaaaaaaaaoooooooiiiiiiinnnnnnnsssssshhhhhhrrrrrr"
                                       "ddddlllluuucccmmmwwffggyyppbbvkjxqz";
    std::mt19937 random(12345u);
    std::uniform_int_distribution<std::size_t> letter(0, sizeof kLetters - 2);
    std::binomial_distribution<int> extraLength(10, 0.4);
    std::vector<std::u16string> entries(count);
    for (auto &entry : entries) {
        entry.resize(static_cast<std::size_t>(2 + extraLength(random)));
        for (char16_t &c : entry)
            c = static_cast<char16_t>(kLetters[letter(random)]);
    }
    return entries;
}

// Words taken from the entries, with spaces and some punctuation, enciphered at ROT 13.
std::u16string MakeText(const std::vector<std::u16string> &entries, std::size_t length)
{
    std::mt19937 random(777u);
    std::uniform_int_distribution<std::size_t> pick(0, entries.size() - 1);
    std::u16string text;
    while (text.size() < length) {
        text += entries[pick(random)];
        text += random() % 9 == 0 ? u", " : u" ";
    }
    text.resize(length);
    return RotText(text, 13);
}

// The AutoRot search: a matcher built from the list, then 26 single steps, each counted.
int AutoRotSearch(const std::vector<std::u16string> &entries, const std::u16string &text)
{
    const WordMatcher matcher(entries);
    std::u16string current = text;
    int best = 0;
    int bestLevel = 0;
    for (int step = 1; step <= 26; ++step) {
        current = RotText(current, 1);
        const int matches = matcher.CountMatches(current);
        if (matches > best) {
            best = matches;
            bestLevel = 26 - step;
        }
    }
    return bestLevel;
}

std::u16string UpperAscii(std::u16string_view text)
{
    std::u16string result(text);
    for (char16_t &c : result)
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - 32);
    return result;
}

// The same search with one plain substring search per entry and step.
int PlainAutoRotSearch(const std::vector<std::u16string> &entries, const std::u16string &text)
{
    std::vector<std::u16string> upperEntries;
    for (const auto &entry : entries)
        upperEntries.push_back(UpperAscii(entry));
    std::u16string current = text;
    int best = 0;
    int bestLevel = 0;
    for (int step = 1; step <= 26; ++step) {
        current = RotText(current, 1);
        const std::u16string upper = UpperAscii(current);
        const auto matches = std::count_if(upperEntries.begin(), upperEntries.end(),
            [&upper](const std::u16string &entry) { return upper.find(entry) != std::u16string::npos; });
        if (matches > best) {
            best = static_cast<int>(matches);
            bestLevel = 26 - step;
        }
    }
    return bestLevel;
}

template <int (*Search)(const std::vector<std::u16string> &, const std::u16string &)>
void BM_AutoRot(benchmark::State &state)
{
    const auto entries = MakeEntries(static_cast<std::size_t>(state.range(0)));
    const auto text = MakeText(entries, static_cast<std::size_t>(state.range(1)));
    for (auto _ : state) {
        const int level = Search(entries, text);
        if (level != 13)
            state.SkipWithError("the search did not find ROT 13");
        benchmark::DoNotOptimize(level);
    }
    state.counters["entries"] = static_cast<double>(entries.size());
    state.counters["chars"] = static_cast<double>(text.size());
}
BENCHMARK(BM_AutoRot<AutoRotSearch>)
    ->Name("AutoRot/Matcher")
    ->ArgNames({"entries", "chars"})
    ->Args({100'000, 32'766})
    ->Args({100'000, 1 << 20})
    ->Args({200'000, 1 << 20})
    ->Unit(benchmark::kMillisecond);
// Takes tens of seconds for one search, hence the single iteration.
BENCHMARK(BM_AutoRot<PlainAutoRotSearch>)
    ->Name("AutoRot/PlainFind")
    ->ArgNames({"entries", "chars"})
    ->Args({100'000, 32'766})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// A million lines as a user might keep them: LF mostly, some CR LF, a comment now and then, some UTF-8.
std::string MakeListFile(std::size_t lines)
{
    const auto words = MakeEntries(lines);
    std::string file;
    file.reserve(lines * 10);
    for (std::size_t i = 0; i < lines; ++i) {
        if (i % 1000 == 0)
            file += "# a comment line\n";
        for (const char16_t c : words[i])
            file.push_back(static_cast<char>(c));
        if (i % 50 == 0)
            file += "\xC3\xA9";
        file += i % 7 == 0 ? "\r\n" : "\n";
    }
    return file;
}

void BM_ParseWordList(benchmark::State &state)
{
    const std::string file = MakeListFile(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(ParseWordList(file));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_ParseWordList)->ArgName("lines")->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// The list the program ships, as the user meets it: loading it, and one AutoRot over a full text box.
void BM_ShippedList(benchmark::State &state)
{
    std::ifstream file(QUINDLE_WORDLIST, std::ios::binary);
    const std::string bytes {std::istreambuf_iterator<char>(file), {}};
    const auto entries = ParseWordList(bytes);
    if (entries.empty()) {
        state.SkipWithError("cannot read " QUINDLE_WORDLIST);
        return;
    }
    const auto text = MakeText(entries, 32'766);
    for (auto _ : state)
        benchmark::DoNotOptimize(AutoRotSearch(ParseWordList(bytes), text));
    state.counters["entries"] = static_cast<double>(entries.size());
}
BENCHMARK(BM_ShippedList)->Name("AutoRot/ShippedListLoadAndSearch32766")->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
