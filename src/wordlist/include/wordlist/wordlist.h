// Word-list parsing and the multi-pattern match count that AutoRot scores each rotation with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Entries in file order with duplicates kept. A list weights a word by writing it on several lines in a
// row, so each run of equal lines is stored once: the runs' texts end to end in one buffer, with where each
// text starts and how many entries the list holds up to the end of each run.
class WordList
{
public:
    WordList() = default;
    explicit WordList(const std::vector<std::u16string> &entries);

    std::size_t size() const { return runEnds_.empty() ? 0 : runEnds_.back(); }
    bool empty() const { return runEnds_.empty(); }
    std::u16string_view operator[](std::size_t index) const;

    std::size_t RunCount() const { return runEnds_.size(); }
    std::u16string_view RunText(std::size_t run) const
    {
        return std::u16string_view(units_).substr(starts_[run], starts_[run + 1] - starts_[run]);
    }
    std::size_t RunLength(std::size_t run) const
    {
        return runEnds_[run] - (run == 0 ? 0 : runEnds_[run - 1]);
    }

private:
    friend class WordListParser;
    void Append(std::u16string_view entry);
    // Reserving what a file could need at most costs no memory that is never written, and spares a pass
    // that counts the lines first.
    void Reserve(std::size_t entries, std::size_t units);

    std::u16string units_;
    std::vector<std::uint32_t> starts_ {0};
    std::vector<std::uint32_t> runEnds_;
};

// Entries of a word-list file. Files that start with a UTF-16 byte-order mark are UTF-16 (a lone
// surrogate is kept as it is, an odd last byte reads as U+FFFD); any other file is read line by line as
// UTF-8 where the line is valid UTF-8 and as Windows-1252 where it is not.
WordList ParseWordList(std::string_view fileBytes);

// The same reading for a file handed over in pieces split anywhere, so that it never has to be held whole.
class WordListParser
{
public:
    // fileSize: what the file holds in all, for reserving what its list can need at most.
    explicit WordListParser(std::size_t fileSize);
    void Feed(std::string_view bytes);
    WordList Finish();

private:
    enum class Encoding { Undecided, Bytes, Utf16Le, Utf16Be };
    void Decide(bool atEnd);
    void ParseLines(std::string_view bytes);

    WordList list_;
    Encoding encoding_ = Encoding::Undecided;
    // Bytes after the last line end seen so far; the whole file for UTF-16, which is decoded at the end.
    std::string pending_;
    // The last entry line's bytes: a line that repeats them needs no decoding.
    std::string previous_;
    std::u16string decoded_;
};

// Counts how many entries (every listed copy) occur in a text, ignoring letter case.
class WordMatcher
{
public:
    explicit WordMatcher(const WordList &entries);
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
