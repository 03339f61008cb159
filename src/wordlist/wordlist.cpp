// Reads word-list bytes into entries, and counts entries in a text with one Aho-Corasick pass.
#include "wordlist/wordlist.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>
#include <utility>

namespace
{
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Windows-1252 0x80-0x9F. The five bytes it leaves undefined keep their own code points, as Windows does.
constexpr char16_t kCp1252C1[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6,
    0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

template <typename Units> void AppendCp1252(std::string_view line, Units &result)
{
    for (const char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        result.push_back(byte >= 0x80 && byte < 0xA0 ? kCp1252C1[byte - 0x80] : static_cast<char16_t>(byte));
    }
}

// Strict UTF-8 appended to result: no overlong forms, no encoded surrogates, nothing above U+10FFFF. False
// on the first breach, with part of the line appended.
template <typename Units> bool AppendUtf8(std::string_view line, Units &result)
{
    const auto *p = reinterpret_cast<const unsigned char *>(line.data());
    const auto *end = p + line.size();
    auto continuation = [&end](const unsigned char *at, unsigned char low, unsigned char high) {
        return at < end && *at >= low && *at <= high;
    };
    while (p < end) {
        const unsigned char lead = *p;
        char32_t cp;
        if (lead < 0x80) {
            result.push_back(lead);
            ++p;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF) {
            if (!continuation(p + 1, 0x80, 0xBF))
                return false;
            cp = (lead & 0x1Fu) << 6 | (p[1] & 0x3Fu);
            p += 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            const unsigned char low = lead == 0xE0 ? 0xA0 : 0x80;
            const unsigned char high = lead == 0xED ? 0x9F : 0xBF;
            if (!continuation(p + 1, low, high) || !continuation(p + 2, 0x80, 0xBF))
                return false;
            cp = (lead & 0x0Fu) << 12 | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu);
            p += 3;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            const unsigned char low = lead == 0xF0 ? 0x90 : 0x80;
            const unsigned char high = lead == 0xF4 ? 0x8F : 0xBF;
            if (!continuation(p + 1, low, high) || !continuation(p + 2, 0x80, 0xBF)
                || !continuation(p + 3, 0x80, 0xBF))
                return false;
            cp = (lead & 0x07u) << 18 | (p[1] & 0x3Fu) << 12 | (p[2] & 0x3Fu) << 6 | (p[3] & 0x3Fu);
            p += 4;
        } else {
            return false;
        }
        if (cp < 0x10000) {
            result.push_back(static_cast<char16_t>(cp));
        } else {
            result.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            result.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        }
    }
    return true;
}

bool IsAscii(std::string_view line)
{
    unsigned char bytesOred = 0;
    for (const char c : line)
        bytesOred |= static_cast<unsigned char>(c);
    return bytesOred < 0x80;
}

template <typename Unit> bool IsSkipped(std::basic_string_view<Unit> line)
{
    return (!line.empty() && line.front() == Unit('#')) || line.find_first_not_of(Unit(' ')) == line.npos;
}

// The first CR or LF in [p, end), or end. Bytes are tested eight at a time: word lists have short lines.
template <typename Unit> const Unit *FindLineEnd(const Unit *p, const Unit *end)
{
    if constexpr (sizeof(Unit) == 1) {
        constexpr std::uint64_t kOnes = 0x0101010101010101u;
        for (; end - p >= 8; p += 8) {
            std::uint64_t word;
            std::memcpy(&word, p, sizeof word);
            const std::uint64_t lf = word ^ (kOnes * '\n');
            const std::uint64_t cr = word ^ (kOnes * '\r');
            // The lowest high bit set marks the first zero byte, that is the first CR or LF.
            const std::uint64_t found = (((lf - kOnes) & ~lf) | ((cr - kOnes) & ~cr)) & (kOnes << 7);
            if (found != 0)
                return p + std::countr_zero(found) / 8;
        }
    }
    while (p < end && *p != Unit('\n') && *p != Unit('\r'))
        ++p;
    return p;
}

// Calls onLine for every line that is neither a comment nor blank. A line ends at CR, LF or CR LF.
template <typename Unit, typename OnLine>
void ForEachEntryLine(std::basic_string_view<Unit> text, OnLine onLine)
{
    const Unit *p = text.data();
    const Unit *const end = p + text.size();
    while (p < end) {
        const Unit *const start = p;
        p = FindLineEnd(p, end);
        const std::basic_string_view<Unit> line(start, static_cast<std::size_t>(p - start));
        if (p < end)
            p += (*p == Unit('\r') && p + 1 < end && p[1] == Unit('\n')) ? 2 : 1;
        if (!IsSkipped(line))
            onLine(line);
    }
}

// Whole units in the given byte order, appended to result. UTF-32 code points above U+FFFF become
// surrogate pairs; a surrogate code point is kept as a lone unit, as in UTF-16, and a value past U+10FFFF
// reads as U+FFFD.
void AppendUnits(std::string_view bytes, std::size_t unitBytes, bool bigEndian, std::u16string &result)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *const end = p + bytes.size();
    for (; p < end; p += unitBytes) {
        char32_t value = 0;
        for (std::size_t i = 0; i < unitBytes; ++i)
            value |= char32_t {p[bigEndian ? i : unitBytes - 1 - i]} << (8 * (unitBytes - 1 - i));
        if (value < 0x10000) {
            result.push_back(static_cast<char16_t>(value));
        } else if (value <= 0x10FFFF) {
            result.push_back(static_cast<char16_t>(0xD800 + ((value - 0x10000) >> 10)));
            result.push_back(static_cast<char16_t>(0xDC00 + ((value - 0x10000) & 0x3FF)));
        } else {
            result.push_back(u'\ufffd');
        }
    }
}

// Bytes after the last line end of earlier pieces wait in pending; whole lines are handed to parseLines
// where they lie. Each unit is looked at a bounded number of times, so a file that is one long line costs
// no more than one of short lines. A CR LF split between two pieces reads as a line and an empty one, and
// empty lines are skipped anyway.
template <typename Unit, typename ParseLines>
void SplitPiece(std::basic_string_view<Unit> piece, std::basic_string<Unit> &pending, ParseLines parseLines)
{
    if (!pending.empty()) {
        const Unit *const end = piece.data() + piece.size();
        const Unit *const lineEnd = FindLineEnd(piece.data(), end);
        if (lineEnd == end) {
            pending.append(piece);
            return;
        }
        const auto taken = static_cast<std::size_t>(lineEnd - piece.data()) + 1;
        pending.append(piece.substr(0, taken));
        parseLines(std::basic_string_view<Unit>(pending));
        pending.clear();
        // A long line's buffer is not kept for lines that are short again.
        if (pending.capacity() > (std::size_t {1} << 20))
            pending.shrink_to_fit();
        piece.remove_prefix(taken);
    }
    constexpr Unit kLineEnds[] = {Unit('\r'), Unit('\n')};
    const std::size_t last = piece.find_last_of(std::basic_string_view<Unit>(kLineEnds, 2));
    if (last == piece.npos) {
        pending.assign(piece);
        return;
    }
    parseLines(piece.substr(0, last + 1));
    pending.assign(piece.substr(last + 1));
}

// Editors save UTF-16 without a byte-order mark too. In a list of Latin words every other byte is then
// NUL, which text of single bytes almost never has.
constexpr std::size_t kSniffBytes = 1024;
constexpr std::size_t kSniffMinUnits = 4;

enum class NulPattern { None, Utf16Le, Utf16Be };

NulPattern FindNulPattern(std::string_view start)
{
    const std::size_t units = start.size() / 2;
    if (units < kSniffMinUnits || start.find('\0') == start.npos)
        return NulPattern::None;
    std::size_t highNul = 0;
    std::size_t lowNul = 0;
    for (std::size_t i = 0; i < units; ++i) {
        const bool first = start[2 * i] == '\0';
        const bool second = start[2 * i + 1] == '\0';
        highNul += !first && second;
        lowNul += first && !second;
    }
    // Three units in four: a few characters such as U+4E00 put their NUL on the other side.
    if (highNul * 4 >= units * 3)
        return NulPattern::Utf16Le;
    if (lowNul * 4 >= units * 3)
        return NulPattern::Utf16Be;
    return NulPattern::None;
}

// Only a-z fold, one unit to one unit: RotText moves ASCII letters alone, so no other case can tell rotations
// apart, and a fixed-width fold keeps every match where it was found.
constexpr char16_t Fold(char16_t unit)
{
    return unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - (u'a' - u'A')) : unit;
}

constexpr std::uint32_t kNoEntry = std::numeric_limits<std::uint32_t>::max();
constexpr std::uint16_t kMinRowChildren = 4;
constexpr std::uint16_t kLinearScanChildren = 16;

// The distinct entries as symbol strings, sorted and laid end to end, and how many listed copies each had.
struct DistinctKeys {
    std::u16string symbols;
    // Key i is symbols[starts[i], starts[i + 1]).
    std::vector<std::uint32_t> starts;
    std::vector<std::uint64_t> copies;
};

// Equal entries in different runs and case variants fold to the same key, so their copies add up. An empty
// entry never counts: it would count in every rotation alike and tell none apart.
DistinctKeys SortKeys(const WordList &entries, const std::vector<std::uint16_t> &symbolOf,
    std::size_t symbolCount, std::size_t totalLength)
{
    // As many leading symbols as fit are packed into one number, so most comparisons are a single one.
    const int bits = std::max(1, static_cast<int>(std::bit_width(symbolCount - 1)));
    const std::size_t perPrefix = static_cast<std::size_t>(64 / bits);
    struct Key {
        std::uint64_t prefix;
        std::uint32_t offset;
        std::uint32_t length;
        std::uint64_t copies;
    };
    std::u16string encoded;
    encoded.reserve(totalLength);
    std::vector<Key> keys;
    keys.reserve(entries.RunCount());
    for (std::size_t run = 0; run < entries.RunCount(); ++run) {
        const std::u16string_view entry = entries.RunText(run);
        if (entry.empty())
            continue;
        Key key {0, static_cast<std::uint32_t>(encoded.size()), static_cast<std::uint32_t>(entry.size()),
            entries.RunLength(run)};
        for (std::size_t i = 0; i < entry.size(); ++i) {
            const std::uint16_t symbol = symbolOf[entry[i]];
            encoded.push_back(static_cast<char16_t>(symbol));
            if (i < perPrefix)
                key.prefix |= std::uint64_t {symbol} << (64 - bits * static_cast<int>(i + 1));
        }
        keys.push_back(key);
    }
    const auto text
        = [&encoded](const Key &key) { return std::u16string_view(encoded).substr(key.offset, key.length); };
    // Symbols are never 0, so equal prefixes of keys that fit them whole mean equal keys.
    const auto whole
        = [perPrefix](const Key &a, const Key &b) { return a.length <= perPrefix && b.length <= perPrefix; };
    std::sort(keys.begin(), keys.end(), [&](const Key &a, const Key &b) {
        return a.prefix != b.prefix ? a.prefix < b.prefix : !whole(a, b) && text(a) < text(b);
    });

    DistinctKeys result;
    result.symbols.reserve(encoded.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const Key &key = keys[i];
        if (i > 0 && key.prefix == keys[i - 1].prefix
            && (whole(key, keys[i - 1]) || text(key) == text(keys[i - 1]))) {
            result.copies.back() += key.copies;
            continue;
        }
        result.starts.push_back(static_cast<std::uint32_t>(result.symbols.size()));
        result.symbols.append(text(key));
        result.copies.push_back(key.copies);
    }
    result.starts.push_back(static_cast<std::uint32_t>(result.symbols.size()));
    return result;
}
} // namespace

WordList::WordList(const std::vector<std::u16string> &entries)
{
    for (const auto &entry : entries)
        if (!Append(entry))
            throw std::length_error("word list too long");
}

WordList::WordList(const std::vector<std::pair<std::u16string, std::uint64_t>> &runs)
{
    for (const auto &[entry, copies] : runs)
        if (copies > 0 && !Append(entry, copies))
            throw std::length_error("word list too long");
}

std::u16string_view WordList::operator[](std::uint64_t index) const
{
    std::size_t run = 0;
    for (; index >= RunLength(run); ++run)
        index -= RunLength(run);
    return RunText(run);
}

std::uint64_t WordList::LongRunLength(std::size_t run) const
{
    const auto found = std::lower_bound(longRuns_.begin(), longRuns_.end(), run,
        [](const std::pair<std::size_t, std::uint64_t> &longRun, std::size_t at) {
            return longRun.first < at;
        });
    return found->second;
}

bool WordList::EndEntry(std::size_t start, std::uint64_t copies)
{
    if (units_.size() > kMaxUnits) {
        units_.Truncate(start);
        return false;
    }
    const std::u16string_view entry(units_.data() + start, units_.size() - start);
    const bool repeats = !runLengths_.empty() && RunText(runLengths_.size() - 1) == entry;
    if (repeats)
        units_.Truncate(start);
    else
        textEnds_.push_back(static_cast<std::uint32_t>(units_.size()));
    const std::uint64_t length = (repeats ? RunLength(runLengths_.size() - 1) : 0) + copies;
    if (length >= kLongRun) {
        if (!repeats || runLengths_.back() != kLongRun)
            longRuns_.emplace_back(repeats ? runLengths_.size() - 1 : runLengths_.size(), length);
        longRuns_.back().second = length;
    }
    const auto stored = static_cast<std::uint32_t>(std::min<std::uint64_t>(length, kLongRun));
    if (repeats)
        runLengths_.back() = stored;
    else
        runLengths_.push_back(stored);
    size_ += copies;
    return true;
}

bool WordList::Append(std::u16string_view entry, std::uint64_t copies)
{
    if (entry.size() > kMaxUnits - units_.size())
        return false;
    const std::size_t start = units_.size();
    units_.append(entry.data(), entry.size());
    return EndEntry(start, copies);
}

WordListResult ParseWordList(std::string_view fileBytes)
{
    WordListParser parser;
    parser.Feed(fileBytes);
    return parser.Finish();
}

void WordListParser::Decide(bool atEnd)
{
    if (pending_.size() < kSniffBytes && !atEnd)
        return;
    const std::string_view start = pending_;
    std::size_t markBytes = 0;
    if (start.starts_with(std::string_view("\xFF\xFE\0\0", 4))) {
        encoding_ = Encoding::Utf32Le;
        markBytes = 4;
    } else if (start.starts_with(std::string_view("\0\0\xFE\xFF", 4))) {
        encoding_ = Encoding::Utf32Be;
        markBytes = 4;
    } else if (start.starts_with("\xFF\xFE") || start.starts_with("\xFE\xFF")) {
        encoding_ = start.starts_with("\xFF\xFE") ? Encoding::Utf16Le : Encoding::Utf16Be;
        markBytes = 2;
    } else if (start.starts_with(kByteOrderMark)) {
        encoding_ = Encoding::Bytes;
        markBytes = kByteOrderMark.size();
    } else {
        const NulPattern nuls = FindNulPattern(start);
        encoding_ = nuls == NulPattern::Utf16Le ? Encoding::Utf16Le
            : nuls == NulPattern::Utf16Be       ? Encoding::Utf16Be
                                                : Encoding::Bytes;
    }
    pending_.erase(0, markBytes);
}

void WordListParser::Fail(WordListError error)
{
    error_ = error;
    list_ = WordList();
}

void WordListParser::Release()
{
    // Only once no line is being read out of these buffers.
    std::string().swap(pending_);
    std::u16string().swap(pendingUnits_);
    std::u16string().swap(decoded_);
}

void WordListParser::Feed(std::string_view bytes)
{
    if (error_)
        return;
    try {
        if (encoding_ == Encoding::Undecided) {
            // Only the start of the file is held back to decide on; the rest is read where it lies.
            const std::size_t taken = std::min(bytes.size(), kSniffBytes - pending_.size());
            pending_.append(bytes.substr(0, taken));
            bytes.remove_prefix(taken);
            Decide(false);
            if (encoding_ == Encoding::Undecided)
                return;
            FeedDecided(std::exchange(pending_, {}));
        }
        FeedDecided(bytes);
    } catch (const std::bad_alloc &) {
        Fail(WordListError::OutOfMemory);
    }
    if (error_)
        Release();
}

void WordListParser::FeedDecided(std::string_view bytes)
{
    if (error_)
        return;
    if (encoding_ == Encoding::Bytes)
        SplitPiece(bytes, pending_, [this](std::string_view lines) { ParseLines(lines); });
    else
        FeedUnits(bytes);
}

void WordListParser::FeedUnits(std::string_view bytes)
{
    const bool bigEndian = encoding_ == Encoding::Utf16Be || encoding_ == Encoding::Utf32Be;
    const std::size_t unitBytes = encoding_ == Encoding::Utf32Le || encoding_ == Encoding::Utf32Be ? 4 : 2;
    // Decoded a slice at a time, so a file handed over whole is never held twice.
    constexpr std::size_t kSlice = 64 * 1024;
    while (!bytes.empty() && !error_) {
        std::string_view slice = bytes.substr(0, kSlice);
        bytes.remove_prefix(slice.size());
        decoded_.clear();
        if (!pending_.empty()) {
            const std::size_t taken = std::min(unitBytes - pending_.size(), slice.size());
            pending_.append(slice.substr(0, taken));
            slice.remove_prefix(taken);
            if (pending_.size() < unitBytes)
                return;
            AppendUnits(pending_, unitBytes, bigEndian, decoded_);
            pending_.clear();
        }
        const std::size_t whole = slice.size() - slice.size() % unitBytes;
        AppendUnits(slice.substr(0, whole), unitBytes, bigEndian, decoded_);
        pending_.assign(slice.substr(whole));
        SplitPiece(std::u16string_view(decoded_), pendingUnits_,
            [this](std::u16string_view lines) { ParseLines(lines); });
    }
}

void WordListParser::ParseLines(std::string_view bytes)
{
    ForEachEntryLine(bytes, [this](std::string_view line) {
        if (error_)
            return;
        // Decoded straight onto the end of the list's text; a line that repeats the one before is taken
        // back off again and counted as a copy.
        GrowBuffer<char16_t> &units = list_.units_;
        const std::size_t start = units.size();
        // Each line decides for itself: valid UTF-8 is read as UTF-8, anything else byte for byte as
        // Windows-1252, so one stray legacy byte neither loses the line nor changes how its neighbours read.
        if (IsAscii(line)) {
            std::copy(line.begin(), line.end(), units.Extend(line.size()));
        } else if (!AppendUtf8(line, units)) {
            units.Truncate(start);
            AppendCp1252(line, units);
        }
        if (!list_.EndEntry(start))
            Fail(WordListError::TooLong);
    });
}

void WordListParser::ParseLines(std::u16string_view units)
{
    ForEachEntryLine(units, [this](std::u16string_view line) {
        if (!error_ && !list_.Append(line))
            Fail(WordListError::TooLong);
    });
}

WordListResult WordListParser::Finish()
{
    try {
        if (encoding_ == Encoding::Undecided) {
            Decide(true);
            FeedDecided(std::exchange(pending_, {}));
        }
        if (encoding_ == Encoding::Bytes) {
            ParseLines(std::string_view(pending_));
        } else if (!error_) {
            // A file cut short mid-unit: the lost unit is marked where it was, and every whole line still
            // counts.
            if (!pending_.empty())
                pendingUnits_.push_back(u'\ufffd');
            ParseLines(std::u16string_view(pendingUnits_));
        }
    } catch (const std::bad_alloc &) {
        Fail(WordListError::OutOfMemory);
    }
    Release();
    if (error_)
        return *error_;
    return std::move(list_);
}

WordMatcher::WordMatcher(const std::vector<std::u16string> &entries)
    : WordMatcher(WordList(entries))
{
}

WordMatcher::WordMatcher(const WordList &entries)
    : symbolOf_(0x10000, 0)
{
    // Symbols are numbered in unit order, so sorted symbol strings are the folded entries sorted.
    std::size_t totalLength = 0;
    for (std::size_t run = 0; run < entries.RunCount(); ++run) {
        totalLength += entries.RunText(run).size();
        for (const char16_t unit : entries.RunText(run))
            symbolOf_[Fold(unit)] = 1;
    }
    if (totalLength >= kNoEntry)
        throw std::length_error("word list too long");
    for (auto &symbol : symbolOf_)
        if (symbol != 0)
            symbol = static_cast<std::uint16_t>(symbolCount_++);
    for (char16_t unit = u'a'; unit <= u'z'; ++unit)
        symbolOf_[unit] = symbolOf_[Fold(unit)];

    DistinctKeys keys = SortKeys(entries, symbolOf_, symbolCount_, totalLength);
    copies_ = std::move(keys.copies);
    const auto keyLength = [&keys](std::uint32_t key) { return keys.starts[key + 1] - keys.starts[key]; };

    // The trie, one level at a time: node n holds the distinct keys [lo, hi) that share its prefix.
    struct Span {
        std::uint32_t lo, hi;
    };
    std::vector<Span> spans;
    spans.reserve(keys.symbols.size() + 1);
    spans.push_back({0, static_cast<std::uint32_t>(copies_.size())});
    nodes_.reserve(keys.symbols.size() + 1);
    symbol_.reserve(keys.symbols.size() + 1);
    symbol_.push_back(0);
    std::uint32_t depth = 0;
    std::size_t levelEnd = 1;
    for (std::uint32_t node = 0; node < spans.size(); ++node) {
        if (node == levelEnd) {
            ++depth;
            levelEnd = spans.size();
        }
        auto [lo, hi] = spans[node];
        const std::uint32_t endsHere = lo < hi && keyLength(lo) == depth ? lo++ : kNoEntry;
        const auto firstChild = static_cast<std::uint32_t>(spans.size());
        while (lo < hi) {
            const char16_t symbol = keys.symbols[keys.starts[lo] + depth];
            std::uint32_t groupEnd = lo + 1;
            while (groupEnd < hi && keys.symbols[keys.starts[groupEnd] + depth] == symbol)
                ++groupEnd;
            spans.push_back({lo, groupEnd});
            symbol_.push_back(symbol);
            lo = groupEnd;
        }
        const auto childCount = static_cast<std::uint16_t>(spans.size() - firstChild);
        // A row costs four bytes per symbol; giving one only to nodes with a child for at least a quarter of
        // the symbols keeps rows within sixteen bytes per child.
        const bool hasRow = node == 0 || (childCount >= kMinRowChildren && childCount * 4u >= symbolCount_);
        // Until the failure links are made, firstEntry holds only the entry that ends at the node itself.
        nodes_.push_back({firstChild, 0, endsHere, childCount, hasRow});
    }
    std::vector<Span>().swap(spans);

    // Breadth first, a node's failure link and row only need shallower nodes, which are finished by then.
    nextEntry_.assign(copies_.size(), kNoEntry);
    for (std::uint32_t node = 0; node < nodes_.size(); ++node) {
        const std::uint32_t firstChild = nodes_[node].children;
        const std::uint32_t lastChild = firstChild + nodes_[node].childCount;
        for (std::uint32_t child = firstChild; child < lastChild; ++child) {
            const std::uint32_t link = node == 0 ? 0 : Step(nodes_[node].fail, symbol_[child]);
            Node &at = nodes_[child];
            at.fail = link;
            if (at.firstEntry != kNoEntry)
                nextEntry_[at.firstEntry] = nodes_[link].firstEntry;
            else
                at.firstEntry = nodes_[link].firstEntry;
        }
        if (nodes_[node].hasRow) {
            const std::size_t row = rows_.size();
            rows_.resize(row + symbolCount_);
            for (std::uint16_t symbol = 1; symbol < symbolCount_; ++symbol)
                rows_[row + symbol] = node == 0 ? 0 : Step(nodes_[node].fail, symbol);
            for (std::uint32_t child = firstChild; child < lastChild; ++child)
                rows_[row + symbol_[child]] = child;
            nodes_[node].children = static_cast<std::uint32_t>(row);
        }
    }
}

inline std::uint32_t WordMatcher::Step(std::uint32_t node, std::uint16_t symbol) const
{
    // The root has a row, so every failure chain ends.
    for (;;) {
        const Node &at = nodes_[node];
        if (at.hasRow)
            return rows_[at.children + symbol];
        const auto first = symbol_.begin() + at.children;
        const auto last = first + at.childCount;
        // Sixteen 2-byte symbols are half a cache line: a straight scan of so few beats the branches of a
        // binary search, and nodes with that many children are rare below the first levels.
        const auto found = at.childCount <= kLinearScanChildren ? std::find(first, last, symbol)
                                                                : std::lower_bound(first, last, symbol);
        if (found != last && *found == symbol)
            return static_cast<std::uint32_t>(found - symbol_.begin());
        node = at.fail;
    }
}

std::uint64_t WordMatcher::CountMatches(std::u16string_view text) const
{
    std::vector<std::uint64_t> counted((copies_.size() + 63) / 64, 0);
    std::uint64_t count = 0;
    std::uint32_t node = 0;
    for (const char16_t unit : text) {
        const std::uint16_t symbol = symbolOf_[unit];
        node = symbol == 0 ? 0 : Step(node, symbol);
        for (std::uint32_t entry = nodes_[node].firstEntry; entry != kNoEntry; entry = nextEntry_[entry]) {
            std::uint64_t &word = counted[entry / 64];
            const std::uint64_t bit = std::uint64_t {1} << (entry % 64);
            // Counting an entry counts the rest of its chain too, so a counted one ends the walk.
            if (word & bit)
                break;
            word |= bit;
            count += copies_[entry];
        }
    }
    return count;
}
