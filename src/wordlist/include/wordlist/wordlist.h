// The word list's storage: its entries in file order, duplicates kept, equal neighbours stored once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
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

    // Adds copies of an entry; false, with the list as it was, when its text would pass kMaxUnits.
    bool Append(std::u16string_view entry, std::uint64_t copies = 1);
    // Adds one entry that `write` puts straight onto the end of the given buffer, so that a decoder needs
    // no buffer of its own. False, with the list as it was, past kMaxUnits.
    template <typename Write> bool AppendWritten(Write write)
    {
        const std::size_t start = units_.size();
        write(units_);
        return EndEntry(start, 1);
    }

private:
    // Ends the entry whose text was written to units_ from `start` on: a copy of the last run joins it.
    bool EndEntry(std::size_t start, std::uint64_t copies);
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
