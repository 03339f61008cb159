// AutoRot's word-list search and list loading at sizes a user could throw at them, against a plain search
// and against the matcher that counted one rotation per pass.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "baseline_matcher.h"
#include "rot/rot.h"
#include "wordlist/lineparser.h"
#include "wordlist/matcher.h"
#include "wordlist/search.h"
#include "wordlist/wordlist.h"
#include "wordlist_reference.h"

namespace
{

// Resident set size from /proc, with freed heap handed back first so only live memory counts.
double ResidentBytes()
{
    malloc_trim(0);
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

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

// A first AutoRot click: the matcher is built from the list, then the search runs.
int FirstClick(const std::vector<std::u16string> &entries, const std::u16string &text)
{
    return CountRotations(WordMatcher(entries), text).verdict.level;
}

// The same search with one plain substring search per entry and step.
int PlainAutoRotSearch(const std::vector<std::u16string> &entries, const std::u16string &text)
{
    return reference::AutoRot(reference::PlainSearch(entries), text).level;
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
        benchmark::DoNotOptimize(&level);
    }
    state.counters["entries"] = static_cast<double>(entries.size());
    state.counters["chars"] = static_cast<double>(text.size());
}
BENCHMARK(BM_AutoRot<FirstClick>)
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

std::string ReadShippedList()
{
    std::ifstream file(QUINDLE_WORDLIST, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// 50 MB of pseudo-words, nearly all distinct: the most a list of that size can ask of the matcher.
const std::string &FiftyMegabyteList()
{
    static const std::string file = [] {
        std::string bytes = MakeListFile(7'000'000);
        bytes.resize(bytes.rfind('\n', 50'000'000) + 1);
        return bytes;
    }();
    return file;
}

// 32 MB of words separated by spaces on a single line: one entry, and the longest line a loader meets.
const std::string &OneLineList()
{
    static const std::string file = [] {
        const auto words = MakeEntries(200'000);
        std::string bytes;
        for (std::size_t i = 0; bytes.size() < 32'000'000; ++i) {
            for (const char16_t c : words[i % words.size()])
                bytes.push_back(static_cast<char>(c));
            bytes.push_back(' ');
        }
        return bytes;
    }();
    return file;
}

const std::string &ListBytes(std::int64_t which)
{
    static const std::string shipped = ReadShippedList();
    return which == 0 ? shipped : which == 1 ? FiftyMegabyteList() : OneLineList();
}

const char *ListName(std::int64_t which)
{
    return which == 0 ? "shipped" : which == 1 ? "50MB" : "one-line-32MB";
}

// In 64 KiB pieces, as the program reads the file.
WordList LoadInPieces(std::string_view bytes)
{
    WordListParser parser;
    for (; !bytes.empty(); bytes.remove_prefix(std::min<std::size_t>(bytes.size(), 64 * 1024)))
        parser.Feed(bytes.substr(0, 64 * 1024));
    return reference::Loaded(parser.Finish());
}

// A short text as a user would try AutoRot on, enciphered at ROT 13.
const std::u16string kShortText = RotText(u"The quick brown fox jumps over the lazy dog and runs away.", 13);

// Loading the list as the program does at start-up.
void BM_LoadList(benchmark::State &state)
{
    const std::string &bytes = ListBytes(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(LoadInPieces(bytes));
    state.SetLabel(ListName(state.range(0)));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_LoadList)
    ->Name("List/Load")
    ->ArgName("list")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond);

// Resident memory that the loaded list adds, against the size of its file.
void BM_ListMemory(benchmark::State &state)
{
    const std::string &bytes = ListBytes(state.range(0));
    double added = 0;
    for (auto _ : state) {
        const double before = ResidentBytes();
        const WordList list = LoadInPieces(bytes);
        added = ResidentBytes() - before;
        benchmark::DoNotOptimize(list.size());
    }
    state.SetLabel(ListName(state.range(0)));
    state.counters["file_MB"] = static_cast<double>(bytes.size()) / 1e6;
    state.counters["list_MB"] = added / 1e6;
    state.counters["list_per_file"] = added / static_cast<double>(bytes.size());
}
BENCHMARK(BM_ListMemory)->Name("List/Memory")->ArgName("list")->Arg(0)->Arg(1)->Arg(2)->Iterations(1);

// The first AutoRot click of a run builds the matcher; later clicks reuse it.
void BM_FirstClick(benchmark::State &state)
{
    const WordList list = LoadInPieces(ListBytes(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(CountRotations(WordMatcher(list), kShortText));
    state.SetLabel(ListName(state.range(0)));
}
BENCHMARK(BM_FirstClick)
    ->Name("AutoRot/FirstClick")
    ->ArgName("list")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

void BM_LaterClick(benchmark::State &state)
{
    const WordMatcher matcher(LoadInPieces(ListBytes(state.range(0))));
    for (auto _ : state) {
        const RotationCounts result = CountRotations(matcher, kShortText);
        // Nearly every short run of letters is a pseudo-word of the 50 MB list, so only the shipped one is
        // sure.
        if (state.range(0) == 0 && result.verdict.level != 13)
            state.SkipWithError("the search did not find ROT 13");
        benchmark::DoNotOptimize(&result);
    }
    state.SetLabel(ListName(state.range(0)));
}
BENCHMARK(BM_LaterClick)
    ->Name("AutoRot/LaterClick")
    ->ArgName("list")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

// English sentences from the accuracy tool's corpus, repeated to `length` units in CR LF lines of about
// 70 or in one paragraph, enciphered at ROT 13.
std::u16string EnglishProse(std::size_t length, bool lines)
{
    std::ifstream corpus(QUINDLE_CORPUS);
    std::vector<std::u16string> sentences;
    for (std::string line; std::getline(corpus, line);)
        if (!line.empty() && line[0] != '#')
            sentences.emplace_back(line.begin(), line.end());
    std::u16string text;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; text.size() < length; ++i) {
        for (const char16_t c : sentences[i % sentences.size()]) {
            if (c == u' ' && lines && text.size() - lineStart >= 70) {
                text += u"\r\n";
                lineStart = text.size();
            } else {
                text += c;
            }
        }
        text += u' ';
    }
    text.resize(length);
    return RotText(text, 13);
}

// This thread's CPU time: the machine may be shared, and the ratios are about work done, not waiting.
double CpuSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// The one-pass search and the matcher it replaced, timed in turn on the same text with the shipped list.
// `old` runs the replaced matcher's share; the ratio is the search's time over it.
template <typename Old>
void SearchBesideOld(benchmark::State &state, std::size_t length, const char *oldName, Old old)
{
    const std::u16string text = EnglishProse(length, state.range(0) != 0);
    const WordList list = LoadInPieces(ListBytes(0));
    const WordMatcher matcher(list);
    const baseline::BaselineMatcher oldMatcher(list);
    double searchSeconds = 0;
    double oldSeconds = 0;
    for (auto _ : state) {
        double start = CpuSeconds();
        const RotationCounts counts = CountRotations(matcher, text);
        searchSeconds += CpuSeconds() - start;
        start = CpuSeconds();
        const bool agree = old(oldMatcher, text, counts);
        oldSeconds += CpuSeconds() - start;
        if (!agree)
            state.SkipWithError("the search and the old matcher disagree");
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["search_ms"] = searchSeconds * 1000 / n;
    state.counters[oldName] = oldSeconds * 1000 / n;
    state.counters["ratio"] = searchSeconds / oldSeconds;
    state.SetLabel(state.range(0) != 0 ? "CR LF lines" : "one paragraph");
}

// All 26 rotations of 5 MB of prose against one counting pass of the old matcher over it: what the whole
// search costs in passes of old.
void BM_SearchOverOnePass(benchmark::State &state)
{
    SearchBesideOld(state, 5'000'000, "old_pass_ms",
        [](const baseline::BaselineMatcher &old, const std::u16string &text, const RotationCounts &counts) {
            return counts.verdict.level == 13 && old.CountMatches(text) == counts.byStep[kAlphabetSize - 1];
        });
}
BENCHMARK(BM_SearchOverOnePass)
    ->Name("AutoRot/SearchOverOnePass")
    ->ArgName("lines")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// The whole search as it was (26 rotations, each counted) on a text of the most units RotText is defined
// for: ratio at most 1 means no slower.
void BM_LongestTextOverOld(benchmark::State &state)
{
    SearchBesideOld(state, 32'766, "old_ms",
        [](const baseline::BaselineMatcher &old, const std::u16string &text, const RotationCounts &counts) {
            return reference::AutoRot(old, text).byStep == counts.byStep;
        });
}
BENCHMARK(BM_LongestTextOverOld)
    ->Name("AutoRot/LongestTextOverOld")
    ->ArgName("lines")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

// Building the shipped list's matcher against building the old one: time and resident memory, side by side.
void BM_BuildOverOld(benchmark::State &state)
{
    const WordList list = LoadInPieces(ListBytes(0));
    double buildSeconds = 0;
    double oldSeconds = 0;
    double memory = 0;
    double oldMemory = 0;
    for (auto _ : state) {
        double before = ResidentBytes();
        double start = CpuSeconds();
        {
            const WordMatcher matcher(list);
            buildSeconds += CpuSeconds() - start;
            memory = ResidentBytes() - before;
        }
        before = ResidentBytes();
        start = CpuSeconds();
        {
            const baseline::BaselineMatcher old(list);
            oldSeconds += CpuSeconds() - start;
            oldMemory = ResidentBytes() - before;
        }
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["build_ms"] = buildSeconds * 1000 / n;
    state.counters["old_build_ms"] = oldSeconds * 1000 / n;
    state.counters["time_ratio"] = buildSeconds / oldSeconds;
    state.counters["MB"] = memory / 1e6;
    state.counters["old_MB"] = oldMemory / 1e6;
    state.counters["memory_ratio"] = memory / oldMemory;
}
BENCHMARK(BM_BuildOverOld)->Name("Matcher/BuildOverOld")->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
