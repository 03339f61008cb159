// The word list's storage: runs of equal lines, their texts end to end.
#include "wordlist/wordlist.h"

#include <algorithm>
#include <stdexcept>

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
