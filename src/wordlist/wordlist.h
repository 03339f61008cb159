// Word-list parsing and the multi-pattern match count that AutoRot scores each rotation with.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Entries of a word-list file, in file order with duplicates kept.
std::vector<std::u16string> ParseWordList(std::string_view fileBytes);

// Counts how many entries (every listed copy) occur in a text, ignoring letter case.
class WordMatcher {
public:
    explicit WordMatcher(const std::vector<std::u16string> &entries);
    int CountMatches(std::u16string_view text) const;

private:
    std::vector<std::u16string> entries_;
};
