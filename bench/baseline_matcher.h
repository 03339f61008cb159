// The word matcher as it was before AutoRot counted all rotations in one pass: one Aho-Corasick pass per
// rotation. Kept only as the benchmarks' yardstick.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "wordlist/wordlist.h"

namespace baseline
{

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
inline DistinctKeys SortKeys(const WordList &entries, const std::vector<std::uint16_t> &symbolOf,
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

// Counts how many entries (every listed copy) occur in a text, ignoring letter case.
class BaselineMatcher
{
public:
    explicit BaselineMatcher(const WordList &entries);
    std::uint64_t CountMatches(std::u16string_view text) const;

private:
    struct Node {
        // The first child, or for a node with a row, where that row starts in rows_.
        std::uint32_t children;
        std::uint32_t fail;
        // The first distinct entry that ends here or further down the failure chain.
        std::uint32_t firstEntry;
        std::uint16_t childCount;
        bool hasRow;
    };
    std::uint32_t Step(std::uint32_t node, std::uint16_t symbol) const;

    // Folded UTF-16 unit -> symbol; 0 for units that no entry holds.
    std::vector<std::uint16_t> symbolOf_;
    std::size_t symbolCount_ = 1;
    // Aho-Corasick automaton over symbols, numbered breadth first so that the children of a node are
    // neighbours, sorted by their symbol_. Nodes with many children (the root always) get a full row
    // instead: the next node for every symbol, failures already followed.
    std::vector<Node> nodes_;
    std::vector<std::uint16_t> symbol_;
    std::vector<std::uint32_t> rows_;
    // The next distinct entry down the failure chain, and how many listed copies each one stands for.
    std::vector<std::uint32_t> nextEntry_;
    std::vector<std::uint64_t> copies_;
};

inline BaselineMatcher::BaselineMatcher(const WordList &entries)
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

inline std::uint32_t BaselineMatcher::Step(std::uint32_t node, std::uint16_t symbol) const
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

inline std::uint64_t BaselineMatcher::CountMatches(std::u16string_view text) const
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

} // namespace baseline
