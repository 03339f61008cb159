// The word list as AutoRot uses it: its entries and the matcher built from them.
#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "wordlist/matcher.h"
#include "wordlist/search.h"
#include "wordlist/wordlist.h"

class SearchableWordList
{
public:
    // Replaces the entries; the matcher of the old ones goes with them.
    void SetEntries(WordList entries);
    const WordList &Entries() const { return entries_; }

    // The counts of all 26 rotations, or nothing when the matcher or the search does not fit in memory;
    // then the entries are let go too, as they can no longer be searched.
    std::optional<RotationCounts> CountRotations(std::u16string_view text);

private:
    WordList entries_;
    // Built on first use and kept: the list is filled once at start-up and never changes afterwards, and a
    // start-up that never uses AutoRot should not pay for it.
    std::unique_ptr<const WordMatcher> matcher_;
};
