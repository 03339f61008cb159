// Building the rotation-blind automaton: entries to keys, keys sorted into a trie, failure links and rows.
#include "wordlist/matcher.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <stdexcept>

namespace
{
constexpr std::uint16_t kMinRowChildren = 4;

// An entry as its key: where the key's symbols lie in the encoded buffer, and what the key leaves out.
struct Keyed {
    // As many leading symbols as fit, so most comparisons are a single one.
    std::uint64_t head;
    std::uint32_t offset;
    std::uint32_t length;
    std::uint32_t run;
    WordMatcher::Anchor anchor;
    std::uint8_t letter;
};

std::size_t FirstLetter(std::u16string_view entry)
{
    for (std::size_t i = 0; i < entry.size(); ++i)
        if (IsAsciiLetter(entry[i]))
            return i;
    return entry.npos;
}
} // namespace

WordMatcher::WordMatcher(const std::vector<std::u16string> &entries)
    : WordMatcher(WordList(entries))
{
}

WordMatcher::WordMatcher(const WordList &entries)
    : symbolOf_(0x10000, 0)
{
    try {
        Build(entries);
    } catch (const std::length_error &) {
        // Offsets that 32 bits cannot hold mean an automaton far past any memory.
        throw std::bad_alloc();
    }
}

void WordMatcher::Build(const WordList &list)
{
    // Symbols are numbered in unit order after the 26 letter distances.
    std::size_t totalLength = 0;
    for (std::size_t run = 0; run < list.RunCount(); ++run) {
        totalLength += list.RunText(run).size();
        for (const char16_t unit : list.RunText(run))
            if (!IsAsciiLetter(unit))
                symbolOf_[unit] = 1;
    }
    if (totalLength >= kNone)
        throw std::bad_alloc();
    for (auto &symbol : symbolOf_)
        if (symbol != 0)
            symbol = static_cast<std::uint16_t>(symbolCount_++);

    const int bits = std::max(1, static_cast<int>(std::bit_width(symbolCount_ - 1)));
    const std::size_t perHead = static_cast<std::size_t>(64 / bits);
    GrowBuffer<char16_t> encoded;
    GrowBuffer<Keyed> keyed;
    for (std::size_t run = 0; run < list.RunCount(); ++run) {
        const std::u16string_view entry = list.RunText(run);
        const std::size_t first = FirstLetter(entry);
        Keyed key {0, static_cast<std::uint32_t>(encoded.size()), 0, static_cast<std::uint32_t>(run),
            Anchor::None, 0};
        std::u16string_view keyText = entry;
        int previous = 0;
        if (first != entry.npos) {
            key.letter = static_cast<std::uint8_t>(LetterIndex(entry[first]));
            previous = key.letter;
            if (first + 1 < entry.size()) {
                key.anchor = Anchor::BeforeKey;
                keyText = entry.substr(first + 1);
            } else if (first > 0) {
                key.anchor = Anchor::AfterKey;
                keyText = entry.substr(0, first);
            } else {
                loneLetters_[key.letter] += list.RunLength(run);
                continue;
            }
        }
        if (keyText.empty())
            continue;
        for (std::size_t i = 0; i < keyText.size(); ++i) {
            std::uint16_t symbol = symbolOf_[keyText[i]];
            if (IsAsciiLetter(keyText[i])) {
                const int letter = LetterIndex(keyText[i]);
                symbol = LetterSymbol(LetterDistance(previous, letter));
                previous = letter;
            }
            encoded.push_back(static_cast<char16_t>(symbol));
            if (i < perHead)
                key.head |= std::uint64_t {symbol} << (64 - bits * static_cast<int>(i + 1));
        }
        key.length = static_cast<std::uint32_t>(keyText.size());
        keyed.push_back(key);
    }

    const auto keyOf = [&encoded](const Keyed &key) {
        return std::u16string_view(encoded.data() + key.offset, key.length);
    };
    // The non-letters before the first letter.
    const auto prefixOf = [&list](const Keyed &key) {
        const std::u16string_view entry = list.RunText(key.run);
        return entry.substr(0, FirstLetter(entry));
    };
    // Symbols are never 0, so equal heads of keys that fit them whole mean equal keys.
    const auto sameKey = [&](const Keyed &a, const Keyed &b) {
        return a.head == b.head && ((a.length <= perHead && b.length <= perHead) || keyOf(a) == keyOf(b));
    };
    const auto sameEntry = [&](const Keyed &a, const Keyed &b) {
        return sameKey(a, b) && a.anchor == b.anchor && a.letter == b.letter
            && (a.anchor != Anchor::BeforeKey || prefixOf(a) == prefixOf(b));
    };
    std::sort(keyed.data(), keyed.data() + keyed.size(), [&](const Keyed &a, const Keyed &b) {
        if (a.head != b.head)
            return a.head < b.head;
        if (!sameKey(a, b))
            return keyOf(a) < keyOf(b);
        if (a.anchor != b.anchor || a.letter != b.letter)
            return a.anchor != b.anchor ? a.anchor < b.anchor : a.letter < b.letter;
        return a.anchor == Anchor::BeforeKey && prefixOf(a) < prefixOf(b);
    });

    // Distinct entries in key order; equal entries in different runs and case variants add their copies.
    // Each key is read where its first entry left it in `encoded`.
    GrowBuffer<std::uint32_t> keyOffset;
    // Copies of the entry being gathered, stored once it is complete.
    std::uint64_t copies = 0;
    const auto storeCopies = [&] {
        if (packed_.empty())
            return;
        if (copies >= kManyCopies)
            manyCopies_.emplace_back(static_cast<std::uint32_t>(packed_.size() - 1), copies);
        copies_.push_back(static_cast<std::uint32_t>(std::min<std::uint64_t>(copies, kManyCopies)));
    };
    for (std::size_t i = 0; i < keyed.size(); ++i) {
        const Keyed &key = keyed[i];
        if (i > 0 && sameEntry(key, keyed[i - 1])) {
            copies += list.RunLength(key.run);
            continue;
        }
        storeCopies();
        if (i == 0 || !sameKey(key, keyed[i - 1])) {
            keyOffset.push_back(key.offset);
            keyLength_.push_back(key.length);
            keyEntries_.push_back(static_cast<std::uint32_t>(packed_.size()));
        }
        std::uint8_t packed = static_cast<std::uint8_t>(key.letter | static_cast<unsigned>(key.anchor) << 5);
        if (key.anchor == Anchor::BeforeKey && !prefixOf(key).empty()) {
            if (prefixStarts_.empty())
                prefixStarts_.push_back(0);
            prefixedEntries_.push_back(static_cast<std::uint32_t>(packed_.size()));
            prefixUnits_.append(prefixOf(key));
            prefixStarts_.push_back(static_cast<std::uint32_t>(prefixUnits_.size()));
            packed |= kHasPrefix;
        }
        packed_.push_back(packed);
        copies = list.RunLength(key.run);
    }
    storeCopies();
    keyEntries_.push_back(static_cast<std::uint32_t>(packed_.size()));
    keyed = GrowBuffer<Keyed>();
    const auto keyCount = static_cast<std::uint32_t>(keyLength_.size());
    const auto symbolAt
        = [&](std::uint32_t key, std::uint32_t depth) { return encoded[keyOffset[key] + depth]; };

    keyTail_.Fill(keyCount, kNone);
    // The trie, one level at a time: node n holds the keys [lo, hi) that share its prefix. Only the spans
    // of nodes not yet made are kept, from `firstSpan` on.
    struct Span {
        std::uint32_t lo, hi;
    };
    GrowBuffer<Span> spans;
    spans.push_back({0, keyCount});
    std::size_t firstSpan = 0;
    std::size_t spanCount = 1;
    symbol_.push_back(0);
    std::uint32_t depth = 0;
    std::size_t levelEnd = 1;
    for (std::size_t node = 0; node < spanCount; ++node) {
        if (node == levelEnd) {
            ++depth;
            levelEnd = spanCount;
        }
        if (node - firstSpan > spans.size() / 2 && node - firstSpan > 1024) {
            const std::size_t done = node - firstSpan;
            std::memmove(spans.data(), spans.data() + done, (spans.size() - done) * sizeof(Span));
            spans.Truncate(spans.size() - done);
            firstSpan = node;
        }
        auto [lo, hi] = spans[node - firstSpan];
        std::uint32_t endsHere = lo < hi && keyLength_[lo] == depth ? lo++ : kNone;
        // A key alone below this depth needs no nodes of its own: the rest of its symbols are kept as a
        // tail and compared with the text where the node is reached.
        if (endsHere == kNone && hi - lo == 1 && depth >= kTailDepth) {
            const std::uint32_t tailLength = keyLength_[lo] - depth;
            keyTail_[lo] = static_cast<std::uint32_t>(tails_.size());
            tails_.push_back(static_cast<char16_t>(tailLength & 0xFFFF));
            tails_.push_back(static_cast<char16_t>(tailLength >> 16));
            tails_.append(encoded.data() + keyOffset[lo] + depth, tailLength);
            endsHere = lo++;
        }
        const auto firstChild = static_cast<std::uint32_t>(spanCount);
        while (lo < hi) {
            const char16_t symbol = symbolAt(lo, depth);
            std::uint32_t groupEnd = lo + 1;
            while (groupEnd < hi && symbolAt(groupEnd, depth) == symbol)
                ++groupEnd;
            spans.push_back({lo, groupEnd});
            ++spanCount;
            symbol_.push_back(symbol);
            lo = groupEnd;
        }
        if (spanCount >= kHasRow)
            throw std::bad_alloc();
        const std::size_t childCount = spanCount - firstChild;
        // A row costs four bytes per symbol; giving one only to nodes with a child for at least a quarter of
        // the symbols keeps rows within sixteen bytes per child.
        const bool hasRow = node == 0 || (childCount >= kMinRowChildren && childCount * 4u >= symbolCount_);
        // Until the failure links are made, firstKey holds only the key that ends at the node itself.
        nodes_.push_back({firstChild | (hasRow ? kHasRow : 0), 0, endsHere});
    }
    const auto nodeCount = static_cast<std::uint32_t>(nodes_.size());
    nodes_.push_back({static_cast<std::uint32_t>(spanCount), 0, kNone});
    spans = GrowBuffer<Span>();
    encoded = GrowBuffer<char16_t>();
    keyOffset = GrowBuffer<std::uint32_t>();

    keyFlags_.Fill(keyCount, 0);
    for (std::uint32_t key = 0; key < keyCount; ++key)
        for (std::uint32_t entry = keyEntries_[key]; entry < keyEntries_[key + 1]; ++entry)
            if (IsChecked(EntryAt(entry)))
                keyFlags_[key] = kHasChecked | kCheckedBelow;
    for (std::uint32_t key = 0; key < keyCount; ++key)
        if (keyTail_[key] != kNone)
            keyFlags_[key] |= kHasTail | kCheckedBelow;

    // Breadth first, a node's failure link and row only need shallower nodes, which are finished by then.
    nextKey_.Fill(keyCount, kNone);
    for (std::uint32_t node = 0; node < nodeCount; ++node) {
        const std::uint32_t firstChild = nodes_[node].children & ~kHasRow;
        const std::uint32_t lastChild = nodes_[node + 1].children & ~kHasRow;
        for (std::uint32_t child = firstChild; child < lastChild; ++child) {
            const std::uint32_t link = node == 0 ? 0 : Step(nodes_[node].fail, symbol_[child]);
            Node &at = nodes_[child];
            at.fail = link;
            if (at.firstKey != kNone) {
                const std::uint32_t next = nodes_[link].firstKey;
                nextKey_[at.firstKey] = next;
                if (next != kNone)
                    keyFlags_[at.firstKey] |= keyFlags_[next] & kCheckedBelow;
            } else
                at.firstKey = nodes_[link].firstKey;
        }
        if (nodes_[node].children & kHasRow) {
            const std::size_t row = rows_.size();
            rows_.Fill(symbolCount_, 0);
            for (std::uint16_t symbol = 1; symbol < symbolCount_; ++symbol)
                rows_[row + symbol] = node == 0 ? 0 : Step(nodes_[node].fail, symbol);
            for (std::uint32_t child = firstChild; child < lastChild; ++child)
                rows_[row + symbol_[child]] = child;
            // Its own failure link is not needed once its row is made.
            nodes_[node].fail = static_cast<std::uint32_t>(row);
        }
    }
}

std::uint32_t WordMatcher::PrefixIndex(std::uint32_t entry) const
{
    return static_cast<std::uint32_t>(
        std::lower_bound(prefixedEntries_.begin(), prefixedEntries_.end(), entry) - prefixedEntries_.begin());
}

std::uint64_t WordMatcher::ManyCopies(std::uint32_t entry) const
{
    return std::lower_bound(manyCopies_.begin(), manyCopies_.end(), entry,
        [](const std::pair<std::uint32_t, std::uint64_t> &many, std::uint32_t at) { return many.first < at; })
        ->second;
}
