// The automaton that finds word-list entries in all 26 rotations of a text in one pass.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "rot/alphabet.h"
#include "wordlist/growbuffer.h"
#include "wordlist/wordlist.h"

// Entries are turned into keys that no rotation changes: a letter reads as its distance from the letter
// before it, any other unit as itself. An entry's first letter is left out of its key; the search checks it
// beside each place the key is found and reads the rotation off it.
class WordMatcher
{
public:
    // Throws std::bad_alloc when the automaton cannot be held.
    explicit WordMatcher(const WordList &entries);
    explicit WordMatcher(const std::vector<std::u16string> &entries);

    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    static constexpr std::uint32_t kStart = 0;

    // Where an entry's first letter lies against its key.
    enum class Anchor : std::uint8_t {
        // No letter: the key is the whole entry, found alike in every rotation.
        None,
        // Right before the key, which holds the rest of the entry; `prefix` the non-letters before it.
        BeforeKey,
        // Right after the key: the entry's one letter comes last, and the key is what comes before it.
        AfterKey,
    };
    struct Entry {
        Anchor anchor;
        std::uint8_t letter;
        std::uint32_t prefix;
    };

    // The symbol of a letter that lies `distance` letters after the letter before it (0-25).
    static constexpr std::uint16_t LetterSymbol(int distance)
    {
        return static_cast<std::uint16_t>(1 + distance);
    }
    // The symbol of any other unit; 0 for a unit that no key holds.
    std::uint16_t UnitSymbol(char16_t unit) const { return symbolOf_[unit]; }
    // The next state for a symbol other than 0.
    std::uint32_t Step(std::uint32_t state, std::uint16_t symbol) const
    {
        // The root has a row, so every failure chain ends.
        for (;;) {
            const Node &at = nodes_[state];
            if (at.children & kHasRow)
                return rows_[at.fail + symbol];
            const auto first = symbol_.begin() + at.children;
            const auto last = symbol_.begin() + (nodes_[state + 1].children & ~kHasRow);
            // Sixteen 2-byte symbols are half a cache line: a straight scan of so few beats the branches of
            // a binary search, and nodes with that many children are rare below the first levels.
            const auto found = last - first <= kLinearScanChildren ? std::find(first, last, symbol)
                                                                   : std::lower_bound(first, last, symbol);
            if (found != last && *found == symbol)
                return static_cast<std::uint32_t>(found - symbol_.begin());
            state = at.fail;
        }
    }

    // Keys found when the automaton reaches `state`, longest first.
    std::uint32_t FirstKey(std::uint32_t state) const { return nodes_[state].firstKey; }
    std::uint32_t NextKey(std::uint32_t key) const { return nextKey_[key]; }
    std::size_t KeyCount() const { return keyLength_.size(); }
    std::uint32_t KeyLength(std::uint32_t key) const { return keyLength_[key]; }
    std::uint32_t KeyEntriesBegin(std::uint32_t key) const { return keyEntries_[key]; }
    std::uint32_t KeyEntriesEnd(std::uint32_t key) const { return keyEntries_[key + 1]; }
    // Entries whose match also depends on text outside their key and its first letter: a prefix before
    // that letter, or the letter after an AfterKey key.
    static bool IsChecked(const Entry &entry)
    {
        return entry.anchor == Anchor::AfterKey || entry.prefix != kNone;
    }
    // A key with a tail is only found where the state that ends it is followed by these symbols.
    bool HasTail(std::uint32_t key) const { return keyFlags_[key] & kHasTail; }
    std::u16string_view Tail(std::uint32_t key) const
    {
        const std::uint32_t at = keyTail_[key];
        return std::u16string_view(
            tails_.data() + at + 2, std::uint32_t {tails_[at]} | std::uint32_t {tails_[at + 1]} << 16);
    }
    // Whether the key has checked entries, and whether it, a tail or any key further down its chain has.
    bool HasChecked(std::uint32_t key) const { return keyFlags_[key] & kHasChecked; }
    bool CheckedBelow(std::uint32_t key) const { return keyFlags_[key] & kCheckedBelow; }

    // Distinct entries, each with how many listed copies (case variants included) it stands for.
    std::size_t EntryCount() const { return packed_.size(); }
    Entry EntryAt(std::uint32_t entry) const
    {
        const std::uint8_t packed = packed_[entry];
        return {static_cast<Anchor>(packed >> 5 & 3), static_cast<std::uint8_t>(packed & 31),
            (packed & kHasPrefix) != 0 ? PrefixIndex(entry) : kNone};
    }
    std::uint64_t Copies(std::uint32_t entry) const
    {
        return copies_[entry] != kManyCopies ? copies_[entry] : ManyCopies(entry);
    }
    std::u16string_view Prefix(const Entry &entry) const
    {
        if (entry.prefix == kNone)
            return {};
        return std::u16string_view(prefixUnits_)
            .substr(
                prefixStarts_[entry.prefix], prefixStarts_[entry.prefix + 1] - prefixStarts_[entry.prefix]);
    }
    // Entries that are a single letter and nothing else are found wherever that letter is.
    std::uint64_t LoneLetterCopies(int letter) const
    {
        return loneLetters_[static_cast<std::size_t>(letter)];
    }

private:
    // Twelve bytes: a node's children end where the next node's begin (a last node closes the list).
    struct Node {
        // The first child; kHasRow set for a node with a row.
        std::uint32_t children;
        // The failure link, or for a node with a row, where that row starts in rows_.
        std::uint32_t fail;
        std::uint32_t firstKey;
    };
    static constexpr std::uint32_t kHasRow = 0x80000000u;
    void Build(const WordList &entries);

    static constexpr std::uint16_t kLinearScanChildren = 16;

    // UTF-16 unit that is not a letter -> symbol; letters take symbols 1-26.
    std::vector<std::uint16_t> symbolOf_;
    std::size_t symbolCount_ = 27;
    // Aho-Corasick over symbols, numbered breadth first so that the children of a node are neighbours,
    // sorted by their symbol_. Nodes with many children (the root always) get a full row instead: the
    // next node for every symbol, failures already followed.
    // The large arrays grow in place as they are filled: nothing is held for what a list might need.
    GrowBuffer<Node> nodes_;
    GrowBuffer<std::uint16_t> symbol_;
    GrowBuffer<std::uint32_t> rows_;
    // Per key: the next key down the failure chain, its length, and its entries, which lie together.
    GrowBuffer<std::uint32_t> nextKey_;
    GrowBuffer<std::uint32_t> keyLength_;
    GrowBuffer<std::uint32_t> keyEntries_;
    static constexpr std::uint8_t kHasChecked = 1;
    static constexpr std::uint8_t kCheckedBelow = 2;
    static constexpr std::uint8_t kHasTail = 4;
    GrowBuffer<std::uint8_t> keyFlags_;
    // Keys alone below this depth end in a tail: its length in two units, then its symbols.
    static constexpr std::uint32_t kTailDepth = 4;
    GrowBuffer<std::uint32_t> keyTail_;
    GrowBuffer<char16_t> tails_;
    // One byte per entry: its first letter, its anchor above that, and whether it has a prefix.
    static constexpr std::uint8_t kHasPrefix = 0x80;
    GrowBuffer<std::uint8_t> packed_;
    // The entries with a prefix, in order: the prefix of the i-th is prefix i.
    std::vector<std::uint32_t> prefixedEntries_;
    std::uint32_t PrefixIndex(std::uint32_t entry) const;
    // Nearly every entry has fewer copies than 2^32 - 1; the few with more are kept apart.
    static constexpr std::uint32_t kManyCopies = 0xFFFFFFFFu;
    GrowBuffer<std::uint32_t> copies_;
    std::vector<std::pair<std::uint32_t, std::uint64_t>> manyCopies_;
    std::uint64_t ManyCopies(std::uint32_t entry) const;
    std::u16string prefixUnits_;
    std::vector<std::uint32_t> prefixStarts_;
    std::array<std::uint64_t, kAlphabetSize> loneLetters_ {};
};
