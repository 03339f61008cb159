// ParseWordList line, comment and encoding rules; WordMatcher scoring rules and agreement with a plain
// search.
#include "wordlist/lineparser.h"
#include "wordlist/matcher.h"
#include "wordlist/search.h"
#include "wordlist/wordlist.h"

#include <gtest/gtest.h>

#include "rowname.h"
#include "seeds.h"
#include "wordlist_reference.h"

#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace
{

using Entries = std::vector<std::u16string>;
using rowname::PrintTo;

struct ParseCase {
    const char *name;
    std::string bytes;
    Entries expected;
};

class ParseWordListTable : public testing::TestWithParam<ParseCase>
{
};

TEST_P(ParseWordListTable, GivesExpectedEntries)
{
    const ParseCase &c = GetParam();
    EXPECT_EQ(reference::Items(ParseWordList(c.bytes)), c.expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Lines, ParseWordListTable, testing::Values(
    ParseCase{"EmptyFile", "", {}},
    ParseCase{"LfEnds", "ab\ncd\n", {u"ab", u"cd"}},
    ParseCase{"CrEnds", "ab\rcd\r", {u"ab", u"cd"}},
    ParseCase{"CrLfEnds", "ab\r\ncd\r\n", {u"ab", u"cd"}},
    ParseCase{"MixedEnds", "a\rb\nc\r\nd", {u"a", u"b", u"c", u"d"}},
    ParseCase{"LastLineWithoutEnd", "ab\ncd", {u"ab", u"cd"}},
    ParseCase{"OnlyLineWithoutEnd", "ab", {u"ab"}},
    ParseCase{"LfCrIsTwoEnds", "ab\n\rcd", {u"ab", u"cd"}},
    ParseCase{"CrCrLfIsTwoEnds", "ab\r\r\ncd", {u"ab", u"cd"}}),
    RowName());

INSTANTIATE_TEST_SUITE_P(Skipped, ParseWordListTable, testing::Values(
    ParseCase{"Comment", "#note\nab", {u"ab"}},
    ParseCase{"CommentAtEnd", "ab\n#", {u"ab"}},
    ParseCase{"HashAfterSpacesIsEntry", "  #ab", {u"  #ab"}},
    ParseCase{"HashInsideIsEntry", "a#b", {u"a#b"}},
    ParseCase{"EmptyLines", "\n\n\r\n\rab\n\n", {u"ab"}},
    ParseCase{"ThreeSpaces", "   \nab", {u"ab"}},
    ParseCase{"TabIsEntry", "\t", {u"\t"}},
    ParseCase{"SpacesAroundTabIsEntry", " \t ", {u" \t "}},
    ParseCase{"NoBreakSpaceIsEntry", "\xA0", {u"\u00a0"}},
    ParseCase{"FormFeedIsEntry", "\f", {u"\f"}}),
    RowName());

INSTANTIATE_TEST_SUITE_P(KeptAsRead, ParseWordListTable, testing::Values(
    ParseCase{"SpacesAroundKept", " the \n  ab", {u" the ", u"  ab"}},
    ParseCase{"CaseDuplicatesAndOrderKept", "Ab\nab\nAb\nzz", {u"Ab", u"ab", u"Ab", u"zz"}},
    ParseCase{"NulInsideKept", std::string("a\0b", 3), {std::u16string(u"a\0b", 3)}},
    ParseCase{"InterleavedCopiesInPlace", "b\nab\nb\na\nab\nb", {u"b", u"ab", u"b", u"a", u"ab", u"b"}},
    ParseCase{"PrefixesStayWhole", "abc\nab\na\nabc\nab", {u"abc", u"ab", u"a", u"abc", u"ab"}},
    ParseCase{"SameTextAnotherEncodingIsACopy", "caf\xC3\xA9\ncaf\xE9", {u"caf\u00e9", u"caf\u00e9"}}),
    RowName());

INSTANTIATE_TEST_SUITE_P(ByteOrderMark, ParseWordListTable, testing::Values(
    ParseCase{"Dropped", "\xEF\xBB\xBF" "ab\ncd", {u"ab", u"cd"}},
    ParseCase{"BeforeComment", "\xEF\xBB\xBF#note\nab", {u"ab"}},
    ParseCase{"Alone", "\xEF\xBB\xBF", {}},
    ParseCase{"KeptLaterInFile", "ab\n\xEF\xBB\xBF" "cd", {u"ab", u"\ufeffcd"}},
    ParseCase{"OnlyOneDropped", "\xEF\xBB\xBF\xEF\xBB\xBF" "ab", {u"\ufeffab"}}),
    RowName());

// A UTF-16 file: the byte-order mark, then each unit in the given byte order.
std::string Utf16File(std::u16string_view units, bool bigEndian)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : units) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string {high, low} : std::string {low, high};
    }
    return bytes;
}

// A UTF-32 file: the byte-order mark, then each code point in four bytes of the given order.
std::string Utf32File(std::u32string_view points, bool bigEndian)
{
    std::string bytes = bigEndian ? std::string("\0\0\xFE\xFF", 4) : std::string("\xFF\xFE\0\0", 4);
    for (const char32_t point : points)
        for (int i = 0; i < 4; ++i)
            bytes += static_cast<char>(point >> (8 * (bigEndian ? 3 - i : i)));
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(Utf16, ParseWordListTable, testing::Values(
    ParseCase{"LittleEndianCrLfSurrogatePair", Utf16File(u"ab\r\n#c\r\n\xd83d\xde00x\r\n  \r\ncd", false),
        {u"ab", u"\xd83d\xde00x", u"cd"}},
    ParseCase{"BigEndianCrLfSurrogatePair", Utf16File(u"ab\r\n#c\r\n\xd83d\xde00x\r\n  \r\ncd", true),
        {u"ab", u"\xd83d\xde00x", u"cd"}},
    ParseCase{"UnitsHoldingLineEndBytes", Utf16File(u"\u0d0a\u0a0d\r\u2323", false), {u"\u0d0a\u0a0d", u"\u2323"}},
    ParseCase{"LoneSurrogatesKept", Utf16File(u"\xd83d\n\xde00\xd83d" "a", true), {u"\xd83d", u"\xde00\xd83d" "a"}},
    ParseCase{"OddLastByteMarked", Utf16File(u"ab\r\ncd", false) + "x", {u"ab", u"cd\ufffd"}},
    ParseCase{"OddByteAfterLineEndIsNoLineEnd", Utf16File(u"ab\r\n", true) + "\n", {u"ab", u"\ufffd"}},
    ParseCase{"MarkAlone", "\xFF\xFE", {}},
    ParseCase{"MarkAndOddByte", std::string("\xFE\xFF\x00", 3), {u"\ufffd"}},
    ParseCase{"Utf8MarkIsNoUtf16", "\xEF\xBB\xBF\xFF\xFE", {u"\u00ff\u00fe"}},
    ParseCase{"LittleEndianWithoutMark", Utf16File(u"ab\r\n#c\r\n\u00e9t\u4e00\r\ncd", false).substr(2),
        {u"ab", u"\u00e9t\u4e00", u"cd"}},
    ParseCase{"BigEndianWithoutMark", Utf16File(u"ab\ncd\n", true).substr(2), {u"ab", u"cd"}},
    ParseCase{"FewNulsStayBytes", std::string("a\0b\nc\0d\n", 8), {std::u16string(u"a\0b", 3),
        std::u16string(u"c\0d", 3)}},
    ParseCase{"AllNulsStayBytes", std::string(64, '\0'), {std::u16string(64, u'\0')}}),
    RowName());

INSTANTIATE_TEST_SUITE_P(Utf32, ParseWordListTable, testing::Values(
    ParseCase{"LittleEndian", Utf32File(U"ab\r\n#c\r\n\U0001F600x\r\ncd", false), {u"ab", u"\xd83d\xde00x", u"cd"}},
    ParseCase{"BigEndian", Utf32File(U"ab\n\u00e9", true), {u"ab", u"\u00e9"}},
    ParseCase{"PastLastCodePointMarked", Utf32File(U"a\x110000", false), {u"a\ufffd"}},
    ParseCase{"CutLastUnitMarked", Utf32File(U"ab\ncd", true) + "xyz", {u"ab", u"cd\ufffd"}}),
    RowName());

INSTANTIATE_TEST_SUITE_P(Encoding, ParseWordListTable, testing::Values(
    ParseCase{"Utf8TwoBytes", "caf\xC3\xA9", {u"caf\u00e9"}},
    ParseCase{"Utf8ThreeBytes", "\xE2\x82\xAC" "5", {u"\u20ac" "5"}},
    ParseCase{"Utf8FourBytesToSurrogates", "\xF0\x9F\x98\x80", {u"\xd83d\xde00"}},
    ParseCase{"Utf8HighestCodePoint", "\xF4\x8F\xBF\xBF", {u"\xdbff\xdfff"}},
    ParseCase{"Cp1252Line", "caf\xE9", {u"caf\u00e9"}},
    ParseCase{"Cp1252C1Range", "\x80\x82\x8A\x9C\x9F", {u"\u20ac\u201a\u0160\u0153\u0178"}},
    ParseCase{"Cp1252UndefinedKeepCodePoints", "\x81\x8D\x8F\x90\x9D", {u"\u0081\u008d\u008f\u0090\u009d"}},
    ParseCase{"Cp1252TopOfRange", "\xA0\xFF", {u"\u00a0\u00ff"}},
    ParseCase{"DecidedPerLine", "\xC3\xA9\n\xE9\n\xC3\xA9", {u"\u00e9", u"\u00e9", u"\u00e9"}},
    ParseCase{"OneBadByteMakesWholeLineCp1252", "\xC3\xA9\xE9", {u"\u00c3\u00a9\u00e9"}},
    ParseCase{"OverlongIsCp1252", "\xC0\xAF", {u"\u00c0\u00af"}},
    ParseCase{"EncodedSurrogateIsCp1252", "\xED\xA0\x80", {u"\u00ed\u00a0\u20ac"}},
    ParseCase{"AboveLastCodePointIsCp1252", "\xF4\x90\x80\x80", {u"\u00f4\u0090\u20ac\u20ac"}},
    ParseCase{"CutSequenceAtLineEndIsCp1252", "ab\xE2\x82\nab", {u"ab\u00e2\u201a", u"ab"}},
    ParseCase{"LoneContinuationIsCp1252", "\x9D" "ab", {u"\u009d" "ab"}}),
    RowName());
// clang-format on

// Lines of random bytes drawn from a pool, so most repeat: each one that is neither blank nor a comment
// comes back in its place, as it reads on its own, none lost or merged.
void KeepsEveryEntryLine(std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(1, 12);
    for (int round = 0; round < 2; ++round) {
        std::vector<std::string> pool(600);
        for (auto &text : pool) {
            const int n = length(random);
            for (int i = 0; i < n; ++i) {
                char c = static_cast<char>(byte(random));
                // Nor a byte-order mark, which would make a line alone read differently.
                while (c == '\r' || c == '\n' || c == '#' || c == ' '
                    || (i == 0 && static_cast<unsigned char>(c) >= 0xEF))
                    c = static_cast<char>(byte(random));
                text.push_back(c);
            }
        }
        std::string file;
        std::vector<const std::string *> lines;
        for (int line = 0; line < 2000; ++line) {
            lines.push_back(&pool[random() % (round % 2 == 0 ? pool.size() : 20)]);
            file += *lines.back() + (line % 3 == 0 ? "\r\n" : line % 3 == 1 ? "\n" : "\r");
        }
        const Entries entries = reference::Items(ParseWordList(file));
        ASSERT_EQ(entries.size(), lines.size()) << "round " << round;
        for (std::size_t i = 0; i < entries.size(); ++i)
            ASSERT_EQ(Entries {entries[i]}, reference::Items(ParseWordList(*lines[i])))
                << "round " << round << " line " << i;
    }
}

TEST(ParseWordListRandomBytes, KeepsEveryEntryLine)
{
    ForEachSeed(KeepsEveryEntryLine, [] { return testing::Test::HasFailure(); });
}

// A file handed over in pieces reads as it does whole, however the pieces cut its line ends, CR LF pairs,
// multi-byte characters, units and byte-order marks, and whether the encoding is decided before its end.
void ReadInPiecesAsWhole(std::uint32_t seed)
{
    std::mt19937 random(seed);
    const std::string alphabet("ab #\r\n\xC3\xA9\xFF\xFE\xEF\xBB\xBF\x80\0", 15);
    const std::string starts[] = {"", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF", std::string("\xFF\xFE\0\0", 4),
        std::string("\0\0\xFE\xFF", 4)};
    std::uniform_int_distribution<std::size_t> unit(0, alphabet.size() - 1);
    std::uniform_int_distribution<std::size_t> piece(0, 9);
    for (int round = 0; round < 200; ++round) {
        std::string file = starts[round % 6];
        std::uniform_int_distribution<int> length(0, round % 8 == 7 ? 3000 : 80);
        for (int n = length(random); n > 0; --n)
            file += alphabet[unit(random)];
        WordListParser parser;
        for (std::size_t at = 0; at < file.size();) {
            const std::size_t size = std::min(piece(random), file.size() - at);
            parser.Feed(std::string_view(file).substr(at, size));
            at += size;
        }
        ASSERT_EQ(reference::Items(parser.Finish()), reference::Items(ParseWordList(file)))
            << "round " << round;
    }
}

TEST(WordListParserPieces, ReadAsTheWholeFile)
{
    ForEachSeed(ReadInPiecesAsWhole, [] { return testing::Test::HasFailure(); });
}

struct MatchCase {
    const char *name;
    Entries entries;
    std::u16string text;
    std::uint64_t expected;
    // How many times in a row the first entry is listed.
    std::uint64_t firstCopies = 1;
};

class WordMatcherTable : public testing::TestWithParam<MatchCase>
{
};

TEST_P(WordMatcherTable, CountsEntries)
{
    const MatchCase &c = GetParam();
    std::vector<std::pair<std::u16string, std::uint64_t>> runs;
    for (const auto &entry : c.entries)
        runs.emplace_back(entry, runs.empty() ? c.firstCopies : 1);
    EXPECT_EQ(CountMatches(WordMatcher(WordList(runs)), c.text), c.expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Scoring, WordMatcherTable, testing::Values(
    MatchCase{"WholeText", {u"the"}, u"the", 1},
    MatchCase{"StartOfWord", {u"the"}, u"theory", 1},
    MatchCase{"EndOfWord", {u"the"}, u"bathe", 1},
    MatchCase{"Absent", {u"the"}, u"tahe", 0},
    MatchCase{"SpacesBothSides", {u" the "}, u"in the end", 1},
    MatchCase{"SpaceMissingBefore", {u" the "}, u"bathe end", 0},
    MatchCase{"SpaceMissingAfter", {u" the "}, u"in theory", 0},
    MatchCase{"SpaceMissingAtTextStart", {u" the "}, u"the end", 0},
    MatchCase{"UpperEntryLowerText", {u"HELLO"}, u"hello", 1},
    MatchCase{"LowerEntryUpperText", {u"hello"}, u"HELLO", 1},
    MatchCase{"MixedCaseBothSides", {u"HeLlO"}, u"hElLo", 1},
    MatchCase{"DuplicateCountsTwice", {u"the", u"the"}, u"the", 2},
    MatchCase{"CaseVariantsAreCopies", {u"the", u"THE", u"The"}, u"tHe", 3},
    MatchCase{"OncePerText", {u"the"}, u"the the THE the", 1},
    MatchCase{"DuplicateOncePerTextEach", {u"ab", u"ab"}, u"ab ab ab", 2},
    MatchCase{"CopiesPastThirtyTwoBits", {u"the", u"the", u"THE"}, u"tHe", 6'442'450'946, 6'442'450'944},
    MatchCase{"RunGrowsPastThirtyTwoBits", {u"the", u"the"}, u"the", 4'294'967'295, 4'294'967'294},
    MatchCase{"NestedOverlaps", {u"he", u"her", u"hers"}, u"hers", 3},
    MatchCase{"ClassicOverlaps", {u"he", u"she", u"his", u"hers"}, u"ushers", 3},
    MatchCase{"SuffixThroughFailureLink", {u"abcd", u"bce"}, u"abce", 1},
    MatchCase{"ShorterInsideLonger", {u"abcx", u"bc"}, u"abc", 1},
    MatchCase{"RunOfOneLetter", {u"a", u"aa", u"aaa", u"aaaa"}, u"aaa", 3},
    MatchCase{"CountedSuffixThenNewLonger", {u"b", u"ab"}, u"b ab", 2},
    MatchCase{"EntryLongerThanText", {u"theory"}, u"the", 0},
    MatchCase{"EmptyList", {}, u"anything", 0},
    MatchCase{"EmptyText", {u"a"}, u"", 0},
    MatchCase{"EmptyEntryNeverCounts", {u""}, u"abc", 0},
    MatchCase{"EmptyEntryNeverCountsInEmptyText", {u""}, u"", 0},
    MatchCase{"EmptyEntryBesideOthers", {u"", u"b", u""}, u"abc", 1}),
    RowName());

INSTANTIATE_TEST_SUITE_P(Units, WordMatcherTable, testing::Values(
    MatchCase{"AccentedNotFolded", {u"\u00e9"}, u"\u00c9", 0},
    MatchCase{"AccentedInWord", {u"caf\u00e9"}, u"CAF\u00e9 au lait", 1},
    MatchCase{"SharpSNotExpanded", {u"stra\u00dfe"}, u"STRASSE", 0},
    MatchCase{"BracketNotBrace", {u"["}, u"{", 0},
    MatchCase{"BraceNotBracket", {u"{"}, u"[", 0},
    MatchCase{"BacktickNotAt", {u"`"}, u"@", 0},
    MatchCase{"SurrogatePair", {u"\xd83d\xde00"}, u"a\xd83d\xde00" "b", 1},
    MatchCase{"LoneHighSurrogate", {u"\xd83d"}, u"a\xd83d\xde00", 1},
    MatchCase{"PairNotInOtherPair", {u"\xd83d\xde00"}, u"\xd83d\xde01", 0},
    MatchCase{"NulInEntry", {std::u16string(u"a\0b", 3)}, std::u16string(u"xA\0Bx", 5), 1},
    MatchCase{"NulBreaksWord", {u"ab"}, std::u16string(u"a\0b", 3), 0},
    MatchCase{"LastUnit", {u"\xffff"}, u"z\xffff", 1},
    MatchCase{"UnitNotInAnyEntryResets", {u"abc"}, u"ab\u4e00c abc", 1}),
    RowName());
// clang-format on

struct Alphabet {
    const char *name;
    std::u16string units;
};

class WordMatcherRandom : public testing::TestWithParam<Alphabet>
{
};

void AgreeWithPlainSearch(const std::u16string &units, std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::size_t> pick(0, units.size() - 1);
    auto randomText = [&](int maxLength) {
        std::u16string text(std::uniform_int_distribution<int>(0, maxLength)(random), u'\0');
        for (char16_t &c : text)
            c = units[pick(random)];
        return text;
    };
    for (int round = 0; round < 15; ++round) {
        Entries entries(std::uniform_int_distribution<int>(0, 40)(random));
        for (auto &entry : entries)
            entry = randomText(6);
        const WordMatcher matcher(entries);
        // Several texts per matcher: nothing counted in one text may carry over to the next.
        for (int t = 0; t < 4; ++t) {
            const std::u16string text = randomText(60);
            ASSERT_EQ(CountMatches(matcher, text), reference::PlainSearch(entries).CountMatches(text))
                << "round " << round << " text " << t;
        }
    }
}

TEST_P(WordMatcherRandom, AgreesWithPlainSearch)
{
    const std::u16string &units = GetParam().units;
    ForEachSeed([&units](std::uint32_t seed) { AgreeWithPlainSearch(units, seed); },
        [] { return testing::Test::HasFailure(); });
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(SmallAlphabets, WordMatcherRandom, testing::Values(
    Alphabet{"TwoLetters", u"ab"},
    Alphabet{"TwoLettersBothCases", u"abAB"},
    Alphabet{"LettersAndSpace", u"abc ABC"},
    Alphabet{"AlphabetNeighbours", u"aAzZ@[`{"},
    Alphabet{"OddUnits", std::u16string(u"a\0\xd83d\xde00\xffff\u00e9\u00c9", 7)}),
    RowName());
// clang-format on

// A node with a few children, with more than can be scanned one by one, and with enough to get a full row.
void AgreeAtEveryWidth(std::uint32_t seed)
{
    std::u16string units;
    for (char16_t c = 0x100; c < 0x100 + 120; ++c)
        units.push_back(c);
    const std::u16string textUnits = units + u"qQrst";
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::size_t> pick(0, textUnits.size() - 1);
    for (std::size_t width = 1; width <= units.size(); ++width) {
        Entries entries;
        for (std::size_t i = 0; i < units.size(); ++i) {
            entries.push_back({units[i], u's', u't'});
            if (i < width)
                entries.push_back({u'q', units[i], u'r'});
        }
        const WordMatcher matcher(entries);
        // Whole entries, entries with one unit changed, and single units: matches and near misses both.
        std::u16string text;
        for (int token = 0; token < 100; ++token) {
            std::u16string piece
                = entries[std::uniform_int_distribution<std::size_t>(0, entries.size() - 1)(random)];
            if (token % 3 == 1)
                piece[random() % piece.size()] = textUnits[pick(random)];
            text += token % 3 == 2 ? std::u16string(1, textUnits[pick(random)]) : piece;
        }
        ASSERT_EQ(CountMatches(matcher, text), reference::PlainSearch(entries).CountMatches(text))
            << "width " << width;
    }
}

TEST(WordMatcherFanOut, AgreesWithPlainSearchAtEveryWidth)
{
    // Each seed builds 120 matchers, so fewer seeds than elsewhere.
    ForEachSeed(
        AgreeAtEveryWidth, [] { return testing::Test::HasFailure(); }, 10);
}

// Units where the one-pass search could go wrong: both cases at the alphabets' ends, their ASCII
// neighbours, look-alike letters that must not rotate, a surrogate pair, line breaks and the space.
const std::u16string kSearchUnits = u"aAbBmMnNyYzZ@[`{ -\r\n\u0131\u017f\u212a\uff21\xd83d\xde00";
const std::u16string kNonLetterUnits = u"@[`{ -\r\n\u0131\u017f\u212a\uff21\xd83d\xde00";
// Few units, so that keys recur with different letters around them.
const std::u16string kFewUnits = u"abzAZ -";

// Entries that are cut from a rotation of the text, so that most steps find some, and random ones; some
// with spaces around them, some listed twice.
Entries RandomEntries(std::mt19937 &random, const std::u16string &text, const std::u16string &units)
{
    auto pick
        = [&random](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
    Entries entries(std::uniform_int_distribution<int>(0, 30)(random));
    for (auto &entry : entries) {
        // Some long enough to end in a tail of their own.
        const std::size_t length = random() % 3 == 0 ? pick(10) : pick(5);
        if (text.size() > length && random() % 2 == 0) {
            entry = RotText(text.substr(pick(text.size() - length), length), static_cast<int>(pick(27)));
        } else {
            entry.resize(length);
            for (char16_t &c : entry)
                c = units[pick(units.size())];
        }
        if (random() % 5 == 0)
            entry = u' ' + entry;
        if (random() % 5 == 0)
            entry += u' ';
    }
    if (!entries.empty() && random() % 3 == 0)
        entries.push_back(entries[pick(entries.size())]);
    return entries;
}

void SearchAgreesWithPlainSteps(std::uint32_t seed)
{
    std::mt19937 random(seed);
    for (int round = 0; round < 20; ++round) {
        const std::u16string &units = round % 5 == 4 ? kNonLetterUnits
            : round % 5 == 3                         ? kFewUnits
                                                     : kSearchUnits;
        std::u16string text(std::uniform_int_distribution<int>(0, 60)(random), u'\0');
        for (char16_t &c : text)
            c = units[random() % units.size()];
        const Entries entries = RandomEntries(random, text, round % 5 == 3 ? kFewUnits : kSearchUnits);
        const RotationCounts counts = CountRotations(WordMatcher(entries), text);
        const reference::AutoRotResult plain = reference::AutoRot(reference::PlainSearch(entries), text);
        ASSERT_EQ(counts.byStep, plain.byStep) << "round " << round;
        ASSERT_EQ(counts.verdict.level, plain.level) << "round " << round;
        ASSERT_EQ(counts.verdict.matches, plain.matches) << "round " << round;
    }
}

TEST(CountRotations, AgreesWithTwentySixPlainSteps)
{
    ForEachSeed(SearchAgreesWithPlainSteps, [] { return testing::Test::HasFailure(); });
}

// A list large enough for a trie of many thousand nodes, rows and tails, as real lists build.
void LargeListAgreesWithPlainSteps(std::uint32_t seed)
{
    std::mt19937 random(seed);
    auto word = [&random] {
        std::u16string w(3 + random() % 7, u'a');
        for (char16_t &c : w)
            c = static_cast<char16_t>(u'a' + random() % 8);
        return w;
    };
    Entries entries(20'000);
    for (auto &entry : entries)
        entry = word();
    std::u16string text;
    while (text.size() < 300)
        text += (random() % 4 == 0 ? word() : entries[random() % entries.size()]) + u' ';
    text = RotText(text, static_cast<int>(random() % 27));
    const RotationCounts counts = CountRotations(WordMatcher(entries), text);
    ASSERT_EQ(counts.byStep, reference::AutoRot(reference::PlainSearch(entries), text).byStep);
}

TEST(CountRotations, AgreesOnALargeList)
{
    // Each seed builds a list of 20,000 entries, so fewer seeds than elsewhere.
    ForEachSeed(
        LargeListAgreesWithPlainSteps, [] { return testing::Test::HasFailure(); }, 5);
}

} // namespace
