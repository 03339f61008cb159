// Plain references for AutoRot's scoring and search, to check and measure the one-pass search against.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "rot/rot.h"
#include "wordlist/lineparser.h"
#include "wordlist/wordlist.h"

namespace reference
{

// The list's entries as plain strings, in order, for comparing with what a file should give.
inline std::vector<std::u16string> Items(const WordList &list)
{
    std::vector<std::u16string> items;
    for (std::size_t run = 0; run < list.RunCount(); ++run)
        items.insert(items.end(), list.RunLength(run), std::u16string(list.RunText(run)));
    return items;
}

// The list of a file that must fit: small files never fail to.
inline WordList Loaded(WordListResult parsed)
{
    if (const auto *error = std::get_if<WordListError>(&parsed))
        throw std::runtime_error(*error == WordListError::TooLong ? "word list too long" : "out of memory");
    return std::get<WordList>(std::move(parsed));
}

inline std::vector<std::u16string> Items(WordListResult parsed)
{
    return Items(Loaded(std::move(parsed)));
}

inline std::u16string UpperAscii(std::u16string_view text)
{
    std::u16string result(text);
    for (char16_t &c : result)
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - (u'a' - u'A'));
    return result;
}

// One substring search per entry over the upper-cased strings; an empty entry never counts.
class PlainSearch
{
public:
    explicit PlainSearch(const std::vector<std::u16string> &entries)
    {
        upperEntries_.reserve(entries.size());
        for (const auto &entry : entries)
            upperEntries_.push_back(UpperAscii(entry));
    }

    std::uint64_t CountMatches(std::u16string_view text) const
    {
        const std::u16string upperText = UpperAscii(text);
        std::uint64_t count = 0;
        for (const auto &entry : upperEntries_)
            count += !entry.empty() && upperText.find(entry) != std::u16string::npos;
        return count;
    }

private:
    std::vector<std::u16string> upperEntries_;
};

struct AutoRotResult {
    // Index step - 1, as in RotationCounts.
    std::array<std::uint64_t, 26> byStep {};
    int level = 0;
    // 0 when no rotation held any entry: AutoRot's failure.
    std::uint64_t matches = 0;
};

// AutoRot's search the plain way: 26 single steps, each counted; only a strictly greater count moves the
// best.
template <typename Counter> AutoRotResult AutoRot(const Counter &counter, std::u16string_view text)
{
    AutoRotResult best;
    std::u16string current(text);
    for (int step = 1; step <= 26; ++step) {
        current = RotText(current, 1);
        const std::uint64_t matches = counter.CountMatches(current);
        best.byStep[static_cast<std::size_t>(step - 1)] = matches;
        if (matches > best.matches) {
            best.matches = matches;
            best.level = 26 - step;
        }
    }
    return best;
}

} // namespace reference
