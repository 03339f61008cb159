// Word-list parsing and the multi-pattern match count that AutoRot scores each rotation with.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Entries of a word-list file, in file order with duplicates kept.
std::vector<std::u16string> ParseWordList(std::string_view fileBytes);

// Counts how many entries (every listed copy) occur in a text, ignoring letter case.
class WordMatcher
{
public:
    explicit WordMatcher(const std::vector<std::u16string> &entries);
    int CountMatches(std::u16string_view text) const;

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
    std::vector<int> copies_;
};
