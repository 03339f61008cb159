// Measures how often AutoRot's scoring finds the level of enciphered English sentences, by letter count.
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "rot/rot.h"
#include "wordlist/lineparser.h"
#include "wordlist/matcher.h"
#include "wordlist/search.h"
#include "wordlist/wordlist.h"
#include "wordlist_reference.h"

namespace
{

struct Bucket {
    const char *label;
    int minLetters;
    int maxLetters;
    double target; // percent of enciphered samples whose level must be found
};

constexpr std::array<Bucket, 4> kBuckets {{
    {"1-10", 1, 10, 84.0},
    {"11-20", 11, 20, 97.5},
    {"21-40", 21, 40, 99.5},
    {"41+", 41, 1 << 30, 100.0},
}};
constexpr double kClearTarget = 94.0;

std::optional<std::string> ReadFile(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// AutoRot's level for a text, or none where AutoRot would report its failure.
std::optional<int> AutoRotLevel(const WordMatcher &matcher, std::u16string_view text)
{
    const AutoRotVerdict verdict = CountRotations(matcher, text).verdict;
    if (!verdict.Found())
        return std::nullopt;
    return verdict.level;
}

int LetterCount(std::u16string_view text)
{
    return static_cast<int>(std::count_if(text.begin(), text.end(),
        [](char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }));
}

int BucketOf(int letters)
{
    for (std::size_t i = 0; i < kBuckets.size(); ++i)
        if (letters >= kBuckets[i].minLetters && letters <= kBuckets[i].maxLetters)
            return static_cast<int>(i);
    return -1;
}

std::string Narrow(std::u16string_view text)
{
    std::string result;
    for (const char16_t c : text)
        result.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return result;
}

std::vector<std::u16string> SplitWords(std::u16string_view sentence)
{
    std::vector<std::u16string> words;
    std::size_t start = 0;
    while (start < sentence.size()) {
        const std::size_t end = std::min(sentence.find(u' ', start), sentence.size());
        if (end > start)
            words.emplace_back(sentence.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

// Every run of whole words that starts in a sentence, running on into the next one if need be, in buckets.
std::array<std::vector<std::u16string>, kBuckets.size()> Fragments(
    const std::vector<std::u16string> &sentences)
{
    std::array<std::set<std::u16string>, kBuckets.size()> distinct;
    for (std::size_t s = 0; s < sentences.size(); ++s) {
        const std::size_t starts = SplitWords(sentences[s]).size();
        const std::vector<std::u16string> words
            = SplitWords(s + 1 < sentences.size() ? sentences[s] + u" " + sentences[s + 1] : sentences[s]);
        for (std::size_t first = 0; first < starts; ++first) {
            std::u16string text;
            for (std::size_t last = first; last < words.size(); ++last) {
                text += (last > first ? u" " : u"") + words[last];
                const int bucket = BucketOf(LetterCount(text));
                if (bucket >= 0)
                    distinct[static_cast<std::size_t>(bucket)].insert(text);
            }
        }
    }
    std::array<std::vector<std::u16string>, kBuckets.size()> result;
    for (std::size_t i = 0; i < kBuckets.size(); ++i)
        result[i].assign(distinct[i].begin(), distinct[i].end());
    return result;
}

struct Options {
    std::string listPath = QUINDLE_DEFAULT_LIST;
    std::vector<std::string> corpusPaths;
    // Every distinct fragment unless told otherwise.
    std::size_t samplesPerBucket = std::numeric_limits<std::size_t>::max();
    unsigned seed = 1;
    int misses = 0;
};

std::optional<Options> ParseArguments(int argc, char **argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--list" && hasValue)
            options.listPath = argv[++i];
        else if (arg == "--samples" && hasValue)
            options.samplesPerBucket = std::strtoul(argv[++i], nullptr, 10);
        else if (arg == "--seed" && hasValue)
            options.seed = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
        else if (arg == "--misses" && hasValue)
            options.misses = std::atoi(argv[++i]);
        else if (!arg.starts_with("--"))
            options.corpusPaths.emplace_back(arg);
        else
            return std::nullopt;
    }
    if (options.corpusPaths.empty())
        options.corpusPaths.emplace_back(QUINDLE_DEFAULT_CORPUS);
    return options;
}

struct Tally {
    int samples = 0;
    int right = 0;
    int clearRight = 0;
};

double Percent(int part, int whole)
{
    return whole == 0 ? 0.0 : 100.0 * part / whole;
}

// Prints the table for one corpus and says whether every target held.
bool Measure(const WordMatcher &matcher, const std::string &corpusPath, const Options &options)
{
    const std::optional<std::string> bytes = ReadFile(corpusPath);
    if (!bytes) {
        std::fprintf(stderr, "cannot read %s\n", corpusPath.c_str());
        return false;
    }
    // Corpus files follow the word-list rules: one sentence a line, "#" comments.
    const std::vector<std::u16string> sentences = reference::Items(ParseWordList(*bytes));
    auto pools = Fragments(sentences);

    std::mt19937 random(options.seed);
    std::uniform_int_distribution<int> levels(1, 25);
    std::array<Tally, kBuckets.size()> tallies {};
    int missesShown = 0;
    for (std::size_t b = 0; b < kBuckets.size(); ++b) {
        std::shuffle(pools[b].begin(), pools[b].end(), random);
        pools[b].resize(std::min(pools[b].size(), options.samplesPerBucket));
        for (const std::u16string &text : pools[b]) {
            const int level = levels(random);
            const std::optional<int> found = AutoRotLevel(matcher, RotText(text, level));
            const std::optional<int> clear = AutoRotLevel(matcher, text);
            Tally &tally = tallies[b];
            ++tally.samples;
            tally.right += found == level;
            tally.clearRight += clear == 0;
            if ((found != level || clear != 0) && missesShown < options.misses) {
                ++missesShown;
                std::printf("  miss: \"%s\" at %d -> %d, clear -> %d\n", Narrow(text).c_str(), level,
                    found.value_or(-1), clear.value_or(-1));
            }
        }
    }

    std::printf("%s: %zu sentences\n", corpusPath.c_str(), sentences.size());
    std::printf("  %-7s %8s %10s %8s %12s\n", "letters", "samples", "enciphered", "target", "clear (lvl 0)");
    bool met = true;
    Tally all;
    for (std::size_t b = 0; b < kBuckets.size(); ++b) {
        const Tally &tally = tallies[b];
        const double right = Percent(tally.right, tally.samples);
        met = met && tally.samples > 0 && right >= kBuckets[b].target;
        std::printf("  %-7s %8d %9.2f%% %7.1f%% %11.2f%%\n", kBuckets[b].label, tally.samples, right,
            kBuckets[b].target, Percent(tally.clearRight, tally.samples));
        all.samples += tally.samples;
        all.right += tally.right;
        all.clearRight += tally.clearRight;
    }
    const double clearRight = Percent(all.clearRight, all.samples);
    met = met && clearRight >= kClearTarget;
    std::printf("  %-7s %8d %9.2f%% %8s %11.2f%% (target %.1f%%)\n", "all", all.samples,
        Percent(all.right, all.samples), "", clearRight, kClearTarget);
    return met;
}

} // namespace

int main(int argc, char **argv)
{
    const std::optional<Options> options = ParseArguments(argc, argv);
    if (!options) {
        std::fprintf(stderr,
            "usage: wordlist_accuracy [--list FILE] [--samples N] [--seed N] [--misses N] [CORPUS...]\n");
        return 2;
    }
    const std::optional<std::string> listBytes = ReadFile(options->listPath);
    if (!listBytes) {
        std::fprintf(stderr, "cannot read %s\n", options->listPath.c_str());
        return 2;
    }
    const WordList entries = reference::Loaded(ParseWordList(*listBytes));
    const WordMatcher matcher(entries);
    std::printf(
        "%s: %llu entries\n", options->listPath.c_str(), static_cast<unsigned long long>(entries.size()));

    bool met = true;
    for (const std::string &path : options->corpusPaths)
        met = Measure(matcher, path, *options) && met;
    std::printf(met ? "all targets met\n" : "targets NOT met\n");
    return met ? 0 : 1;
}
