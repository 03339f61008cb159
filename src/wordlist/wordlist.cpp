// Placeholder until the word-list parser and the fast matcher land: a plain search per entry.
#include "wordlist/wordlist.h"

#include <algorithm>

namespace {
std::u16string Upper(std::u16string_view text)
{
    std::u16string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
        [](char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; });
    return result;
}
} // namespace

std::vector<std::u16string> ParseWordList(std::string_view)
{
    return {};
}

WordMatcher::WordMatcher(const std::vector<std::u16string> &entries)
{
    for (const auto &entry : entries)
        entries_.push_back(Upper(entry));
}

int WordMatcher::CountMatches(std::u16string_view text) const
{
    const std::u16string upper = Upper(text);
    return static_cast<int>(std::count_if(entries_.begin(), entries_.end(),
        [&upper](const std::u16string &entry) { return upper.find(entry) != std::u16string::npos; }));
}
