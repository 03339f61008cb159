// Word-list parsing and the multi-pattern match count that AutoRot scores each rotation with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "wordlist/growbuffer.h"

// Entries in file order with duplicates kept. A list weights a word by writing it on several lines in a
// row, so each run of equal lines is stored once: the runs' texts end to end in one buffer, with where each
// text ends and how many lines the run has.
class WordList
{
public:
    // The most units the runs' texts may hold together: offsets are 32 bits wide, and the matcher keeps
    // the largest one free to mark "none".
    static constexpr std::size_t kMaxUnits = 0xFFFFFFFEu;

    WordList() = default;
    // Both throw std::length_error past kMaxUnits; files go through WordListParser, which does not.
    explicit WordList(const std::vector<std::u16string> &entries);
    // Each text listed as many times in a row as its count says.
    explicit WordList(const std::vector<std::pair<std::u16string, std::uint64_t>> &runs);

    // Entry counts are 64 bits wide: runs of one short line can list more than 2^32 copies.
    std::uint64_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // Walks the runs: for tests and small lists.
    std::u16string_view operator[](std::uint64_t index) const;

    std::size_t RunCount() const { return runLengths_.size(); }
    std::u16string_view RunText(std::size_t run) const
    {
        const std::uint32_t start = run == 0 ? 0 : textEnds_[run - 1];
        return std::u16string_view(units_.data() + start, textEnds_[run] - start);
    }
    std::uint64_t RunLength(std::size_t run) const
    {
        return runLengths_[run] != kLongRun ? runLengths_[run] : LongRunLength(run);
    }

private:
    friend class WordListParser;
    // Ends the entry whose text was written to units_ from `start` on: a copy of the last run joins it.
    // False, with units_ as it was, when the text would pass kMaxUnits.
    bool EndEntry(std::size_t start, std::uint64_t copies = 1);
    bool Append(std::u16string_view entry, std::uint64_t copies = 1);
    std::uint64_t LongRunLength(std::size_t run) const;

    // Nearly every run is short: four bytes each, and the few of 2^32 - 1 lines or more kept apart.
    static constexpr std::uint32_t kLongRun = 0xFFFFFFFFu;

    // Grown as lines are read, never reserved ahead for what the file might hold.
    GrowBuffer<char16_t> units_;
    GrowBuffer<std::uint32_t> textEnds_;
    GrowBuffer<std::uint32_t> runLengths_;
    // The runs marked kLongRun, in order, with their lengths.
    std::vector<std::pair<std::size_t, std::uint64_t>> longRuns_;
    std::uint64_t size_ = 0;
};

// Why a file's list could not be held.
enum class WordListError {
    // More text than kMaxUnits.
    TooLong,
    OutOfMemory,
};

using WordListResult = std::variant<WordList, WordListError>;

// Entries of a word-list file, or why they cannot be held. Files that start with a UTF-16 or UTF-32
// byte-order mark, and files whose first bytes have NULs in the places UTF-16 puts them, are read as
// that (a lone surrogate is kept as it is, a cut last unit reads as U+FFFD); any other file is read line
// by line as UTF-8 where the line is valid UTF-8 and as Windows-1252 where it is not.
WordListResult ParseWordList(std::string_view fileBytes);

// The same reading for a file handed over in pieces split anywhere, so that it never has to be held whole.
// Time and memory grow in step with what has been read, whatever the length of its lines.
class WordListParser
{
public:
    void Feed(std::string_view bytes);
    // Once true, Feed ignores what it is given: the rest of the file need not be read.
    bool Failed() const { return error_.has_value(); }
    WordListResult Finish();

private:
    enum class Encoding { Undecided, Bytes, Utf16Le, Utf16Be, Utf32Le, Utf32Be };
    void Decide(bool atEnd);
    void FeedDecided(std::string_view bytes);
    void FeedUnits(std::string_view bytes);
    void ParseLines(std::string_view bytes);
    void ParseLines(std::u16string_view units);
    void Fail(WordListError error);
    void Release();

    WordList list_;
    std::optional<WordListError> error_;
    Encoding encoding_ = Encoding::Undecided;
    // The start of the file until the encoding is decided; then the bytes after the last line end, or for
    // UTF-16 and UTF-32 the bytes of a unit cut between pieces.
    std::string pending_;
    // UTF-16 and UTF-32: the units after the last line end.
    std::u16string pendingUnits_;
    std::u16string decoded_;
};

// Counts how many entries (every listed copy) occur in a text, ignoring letter case.
class WordMatcher
{
public:
    explicit WordMatcher(const WordList &entries);
    explicit WordMatcher(const std::vector<std::u16string> &entries);
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
