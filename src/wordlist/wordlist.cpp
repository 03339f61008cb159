// Reads word-list bytes into entries, and counts entries in a text with one Aho-Corasick pass.
#include "wordlist/wordlist.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <utility>

namespace
{
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Windows-1252 0x80-0x9F. The five bytes it leaves undefined keep their own code points, as Windows does.
constexpr char16_t kCp1252C1[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6,
    0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendCp1252(std::string_view line, std::u16string &result)
{
    for (const char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        result.push_back(byte >= 0x80 && byte < 0xA0 ? kCp1252C1[byte - 0x80] : static_cast<char16_t>(byte));
    }
}

// Strict UTF-8: no overlong forms, no encoded surrogates, nothing above U+10FFFF. False on the first breach.
bool DecodeUtf8(std::string_view line, std::u16string &result)
{
    result.clear();
    result.reserve(line.size());
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

// Whole UTF-16 text after its byte-order mark, in the byte order the mark gave.
std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian)
{
    std::u16string units(bytes.size() / 2, u'\0');
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    for (char16_t &unit : units) {
        unit = static_cast<char16_t>(bigEndian ? p[0] << 8 | p[1] : p[1] << 8 | p[0]);
        p += 2;
    }
    // A file cut short mid-unit: the lost unit is marked where it was, and every whole line still counts.
    if (bytes.size() % 2 != 0)
        units.push_back(u'\ufffd');
    return units;
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
    std::vector<int> copies;
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
        int copies;
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
            static_cast<int>(entries.RunLength(run))};
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
        Append(entry);
}

std::u16string_view WordList::operator[](std::size_t index) const
{
    const auto run = std::upper_bound(runEnds_.begin(), runEnds_.end(), index) - runEnds_.begin();
    return RunText(static_cast<std::size_t>(run));
}

void WordList::Append(std::u16string_view entry)
{
    if (!runEnds_.empty() && RunText(runEnds_.size() - 1) == entry) {
        ++runEnds_.back();
        return;
    }
    // The offsets are 32 bits wide, as the matcher's are.
    if (units_.size() + entry.size() > std::numeric_limits<std::uint32_t>::max()
        || size() == std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("word list too long");
    units_.append(entry);
    starts_.push_back(static_cast<std::uint32_t>(units_.size()));
    runEnds_.push_back(static_cast<std::uint32_t>(size() + 1));
}

void WordList::Reserve(std::size_t entries, std::size_t units)
{
    units_.reserve(units);
    starts_.reserve(entries + 1);
    runEnds_.reserve(entries);
}

WordList ParseWordList(std::string_view fileBytes)
{
    WordListParser parser(fileBytes.size());
    parser.Feed(fileBytes);
    return parser.Finish();
}

WordListParser::WordListParser(std::size_t fileSize)
{
    // An entry takes a unit and a line end at least, and no line decodes to more units than it has bytes.
    list_.Reserve(fileSize / 2 + 1, fileSize);
}

void WordListParser::Decide(bool atEnd)
{
    // The byte-order marks are two and three bytes long: wait for three unless the file ends first.
    if (pending_.size() < kByteOrderMark.size() && !atEnd)
        return;
    const std::string_view start = pending_;
    if (start.starts_with("\xFF\xFE") || start.starts_with("\xFE\xFF")) {
        encoding_ = start.starts_with("\xFF\xFE") ? Encoding::Utf16Le : Encoding::Utf16Be;
        pending_.erase(0, 2);
        return;
    }
    encoding_ = Encoding::Bytes;
    if (start.starts_with(kByteOrderMark))
        pending_.erase(0, kByteOrderMark.size());
}

void WordListParser::Feed(std::string_view bytes)
{
    if (encoding_ != Encoding::Bytes) {
        pending_.append(bytes);
        if (encoding_ == Encoding::Undecided)
            Decide(false);
        if (encoding_ != Encoding::Bytes)
            return;
        bytes = {};
    }
    // Whole lines are parsed where they lie; only the unfinished last one waits for the next piece. A CR LF
    // split between two pieces reads as a line and an empty one, and empty lines are skipped anyway.
    if (!pending_.empty()) {
        const std::size_t firstEnd = bytes.find_first_of("\r\n");
        pending_.append(bytes.substr(0, firstEnd == bytes.npos ? bytes.size() : firstEnd + 1));
        bytes.remove_prefix(firstEnd == bytes.npos ? bytes.size() : firstEnd + 1);
        const std::size_t pendingEnd = pending_.find_last_of("\r\n");
        if (pendingEnd == pending_.npos)
            return;
        ParseLines(std::string_view(pending_).substr(0, pendingEnd + 1));
        pending_.erase(0, pendingEnd + 1);
        if (bytes.empty())
            return;
    }
    const std::size_t end = bytes.find_last_of("\r\n");
    if (end == bytes.npos) {
        pending_.append(bytes);
        return;
    }
    ParseLines(bytes.substr(0, end + 1));
    pending_.append(bytes.substr(end + 1));
}

void WordListParser::ParseLines(std::string_view bytes)
{
    ForEachEntryLine(bytes, [this](std::string_view line) {
        // The same bytes read the same way, so a line that repeats the one before needs no decoding.
        if (line == previous_ && !list_.empty()) {
            ++list_.runEnds_.back();
            return;
        }
        previous_.assign(line);
        // Each line decides for itself: valid UTF-8 is read as UTF-8, anything else byte for byte as
        // Windows-1252, so one stray legacy byte neither loses the line nor changes how its neighbours read.
        if (IsAscii(line)) {
            decoded_.resize(line.size());
            std::copy(line.begin(), line.end(), decoded_.begin());
        } else if (!DecodeUtf8(line, decoded_)) {
            decoded_.clear();
            AppendCp1252(line, decoded_);
        }
        list_.Append(decoded_);
    });
}

WordList WordListParser::Finish()
{
    if (encoding_ == Encoding::Undecided)
        Decide(true);
    if (encoding_ == Encoding::Bytes) {
        ParseLines(pending_);
    } else {
        const std::u16string text = DecodeUtf16(pending_, encoding_ == Encoding::Utf16Be);
        list_ = WordList();
        list_.Reserve(text.size() / 2 + 1, text.size());
        ForEachEntryLine(std::u16string_view(text), [this](std::u16string_view line) { list_.Append(line); });
    }
    pending_.clear();
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

int WordMatcher::CountMatches(std::u16string_view text) const
{
    std::vector<std::uint64_t> counted((copies_.size() + 63) / 64, 0);
    int count = 0;
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
